#include "app/WindowDesign.h"

#include <QStringList>

#include <algorithm>

namespace design {

const QList<ControlDesign>& controls()
{
    static const QList<ControlDesign> table{
        {QStringLiteral("driOperate"), 30, 60, 1980, 315, 3},
        {QStringLiteral("dirOperate"), 30, 450, 1980, 1215, 0},
        {QStringLiteral("filOperate"), 30, 1755, 1980, 2430, 1},
        {QStringLiteral("cmdAdd"), 2040, 15, 1050, 570, 9},
        {QStringLiteral("cmdAddAll"), 2040, 615, 1050, 570, 13},
        {QStringLiteral("cmdDel"), 2040, 1215, 1050, 570, 6},
        {QStringLiteral("cmdDelAll"), 2040, 1815, 1050, 570, 14},
        {QStringLiteral("cmdUp"), 2040, 2415, 1050, 570, 7},
        {QStringLiteral("cmdDown"), 2040, 3015, 1050, 570, 8},
        {QStringLiteral("cmdUnite"), 2040, 3615, 1050, 570, 10},
        {QStringLiteral("labUnite"), 3225, 120, 2700, 195, 12},
        {QStringLiteral("lstUnite"), 3125, 420, 3255, 3660, 5},
        {QStringLiteral("labElongate"), 6060, 60, 270, 300, 16},
        {QStringLiteral("txtHelp"), 6450, 60, 2415, 4120, 4},
        {QStringLiteral("labSave"), 120, 4320, 1440, 195, 15},
        {QStringLiteral("txtUnite"), 1500, 4290, 6135, 285, 11},
        {QStringLiteral("cmdExit"), 7740, 4230, 1050, 390, 2},
    };
    return table;
}

QStringList tabOrder()
{
    QList<ControlDesign> sorted = controls();
    std::sort(sorted.begin(), sorted.end(),
              [](const ControlDesign& a, const ControlDesign& b) { return a.tabIndex < b.tabIndex; });
    QStringList names;
    for (const auto& c : sorted)
        names << c.name;
    return names;
}

} // namespace design
