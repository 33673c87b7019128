// SPDX-License-Identifier: GPL-3.0-or-later

// Every benchmark prints the same three-column table, so bench/run-all can join them.
#pragma once

#include <QString>

#include <cstdio>
#include <vector>

class BenchTable
{
public:
    void row(const QString &name, const QString &measured, const QString &goal, bool met)
    {
        m_rows.push_back({name, measured, goal, met});
    }
    void print() const
    {
        for (const Row &r : m_rows) {
            std::printf("| %-42s | %-40s | %-12s | %-4s |\n", qPrintable(r.name),
                        qPrintable(r.measured), qPrintable(r.goal), r.met ? "met" : "MISS");
        }
        std::fflush(stdout);
    }

private:
    struct Row
    {
        QString name, measured, goal;
        bool met;
    };
    std::vector<Row> m_rows;
};
