#pragma once
#include <QImage>
#include <QList>
#include <QString>

namespace varnel {

// Joins captures of a page scrolled between them into one picture.
//
// Neighbours of the same width join top to bottom, neighbours of the same
// height (not joinable top to bottom) left to right. Lines that stay the same
// at the same place in both neighbours (a fixed header, tool bar or footer)
// are kept once; the moving part between them must match exactly over at
// least kMinOverlap lines, and of several matching offsets the largest
// overlap wins. Identical neighbours add nothing. Anything else is refused:
// no picture is glued blindly.
class ScrollJoin {
public:
    static constexpr int kMinOverlap = 8;

    enum class Direction { None, Down, Right };

    // Where two neighbours meet, in lines of the join's direction.
    struct Seam {
        bool found = false;
        Direction direction = Direction::None;
        int header = 0;  // fixed lines at the start of both
        int footer = 0;  // fixed lines at the end of both
        int overlap = 0; // moving lines the second repeats from the first
    };

    enum class Refusal { None, TooFew, SizesDiffer, NoOverlap, TooLong, NoMemory };

    struct Result {
        QImage image;    // null when refused
        Refusal refusal = Refusal::None;
        int failedPair = -1; // the first of the two neighbours that could not join
        QString error;   // empty when joined, else why (for the window)
        Direction direction = Direction::None;
        bool ok() const { return error.isEmpty(); }
    };

    // The seam of a and b in one direction (their sizes must fit it).
    static Seam findSeam(const QImage& a, const QImage& b, Direction direction);
    // The pictures in order; at least two. The result keeps the pictures'
    // format when they all share it (and its colours), else it is true colour.
    static Result join(const QList<QImage>& pictures);
};

} // namespace varnel
