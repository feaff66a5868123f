#include "design/Ticks.h"

#include <QElapsedTimer>

namespace {
std::function<qint64()> &source()
{
    static std::function<qint64()> s;
    return s;
}
}

qint64 TickCount()
{
    if (source())
        return source()();
    static QElapsedTimer timer;
    if (!timer.isValid())
        timer.start();
    // Never 0: 0 means "no press" to the selection frame.
    return timer.elapsed() + 1;
}

void SetTickCountSource(std::function<qint64()> source_)
{
    source() = std::move(source_);
}
