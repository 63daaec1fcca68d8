// An as-run log that keeps its lines in memory, for a test to compare.
#pragma once
#include "core/asrunlog.h"

#include <QStringList>

struct RecordedLog : AsRunLog {
    QStringList lines;
    void record(const AsRunEntry &entry) override { lines << entry.text; }
};
