#include "ZoomSteps.h"

#include <algorithm>

namespace varnel {

const QStringList& ZoomSteps::entries()
{
    static const QStringList list{QStringLiteral(" 50%"),  QStringLiteral(" 75%"),
                                  QStringLiteral("100%"),  QStringLiteral("125%"),
                                  QStringLiteral("150%"),  QStringLiteral("200%"),
                                  QStringLiteral("300%"),  QStringLiteral("400%"),
                                  QStringLiteral("500%")};
    return list;
}

double ZoomSteps::factorOf(const QString& entry)
{
    QString t = entry.trimmed();
    t.remove(QLatin1Char('%'));
    bool ok = false;
    const int n = t.toShort(&ok);
    return ok && n > 0 ? n / 100.0 : 0.0;
}

int ZoomSteps::step(int current, double scale, int step)
{
    const int last = int(entries().size()) - 1;
    if (step == 0)
        return std::clamp(current, 0, last);
    if (current >= 0 && current <= last)
        return std::clamp(current + (step > 0 ? 1 : -1), 0, last);
    // From the scaled view: the first entry beyond what is on screen now.
    if (step > 0) {
        for (int i = 0; i <= last; ++i)
            if (factorOf(entries()[i]) > scale + 1e-6)
                return i;
        return last;
    }
    for (int i = last; i >= 0; --i)
        if (factorOf(entries()[i]) < scale - 1e-6)
            return i;
    return 0;
}

} // namespace varnel
