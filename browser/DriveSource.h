#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

// One volume the user can pick in the drive pane.
struct Drive
{
    QString root;  // native path of the volume's top folder ("/", "/media/usb", "C:\")
    QString label; // what the drive pane shows for it
};

// Where the drives come from. The program reads the system's volumes; tests hand
// in volumes of their own, including ones whose root cannot be read.
class DriveSource
{
public:
    DriveSource() = default;
    virtual ~DriveSource();
    Q_DISABLE_COPY_MOVE(DriveSource)

    [[nodiscard]] virtual QList<Drive> drives() const = 0;
};
