#pragma once
// The millisecond clock behind the design surface's timing rules (quick
// clicks, drag start, repeated paste). Tests may replace its source.

#include <QtGlobal>

#include <functional>

qint64 TickCount();
// An empty function restores the system clock.
void SetTickCountSource(std::function<qint64()> source);
