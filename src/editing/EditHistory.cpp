#include "EditHistory.h"

namespace varnel {

void EditHistory::push(EditSnapshot before)
{
    ++m_pushes;
    for (const EditSnapshot& s : m_redo)
        m_bytes -= s.bytes();
    m_redo.clear();
    m_bytes += before.bytes();
    m_undo.push_back(std::move(before));
    trim();
}

std::optional<EditSnapshot> EditHistory::undo(EditSnapshot current)
{
    if (m_undo.empty())
        return std::nullopt;
    EditSnapshot back = std::move(m_undo.back());
    m_undo.pop_back();
    m_bytes -= back.bytes();
    m_bytes += current.bytes();
    m_redo.push_back(std::move(current));
    trim();
    return back;
}

std::optional<EditSnapshot> EditHistory::redo(EditSnapshot current)
{
    if (m_redo.empty())
        return std::nullopt;
    EditSnapshot forward = std::move(m_redo.back());
    m_redo.pop_back();
    m_bytes -= forward.bytes();
    m_bytes += current.bytes();
    m_undo.push_back(std::move(current));
    trim();
    return forward;
}

void EditHistory::dropLast()
{
    if (m_undo.empty())
        return;
    m_bytes -= m_undo.back().bytes();
    m_undo.pop_back();
}

void EditHistory::clear()
{
    m_undo.clear();
    m_redo.clear();
    m_bytes = 0;
}

void EditHistory::trim()
{
    // The oldest undo steps first, then the redo steps furthest ahead.
    while (m_bytes > m_limit && !m_undo.empty()) {
        m_bytes -= m_undo.front().bytes();
        m_undo.pop_front();
    }
    while (m_bytes > m_limit && !m_redo.empty()) {
        m_bytes -= m_redo.front().bytes();
        m_redo.pop_front();
    }
}

} // namespace varnel
