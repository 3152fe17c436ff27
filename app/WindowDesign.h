#pragma once

#include <QList>
#include <QString>

// Where each control of the main window stands, in twips, and its place in the keyboard order.
struct ControlDesign
{
    QString name;
    int left;
    int top;
    int width;
    int height;
    int tabIndex;
};

namespace design {

inline constexpr int clientWidth = 8910;
inline constexpr int clientHeight = 4680;
inline constexpr int windowLeft = 2895;
inline constexpr int windowTop = 3915;

[[nodiscard]] const QList<ControlDesign>& controls();
// The controls in ascending tab index.
[[nodiscard]] QStringList tabOrder();

} // namespace design
