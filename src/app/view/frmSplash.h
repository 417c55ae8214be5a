#pragma once

#include "app/commands/AppInfo.h"

#include <QWidget>

class QFrame;
class QLabel;

namespace quibo {

// The start-up form: the product picture, name and version while the main
// window loads. Any key or a click on the frame closes it.
class frmSplash final : public QWidget {
    Q_OBJECT
public:
    explicit frmSplash(AppInfo app = AppInfo::Program(), QWidget* parent = nullptr);

    // Closes the form.
    void UnloadMeX();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QFrame* Frame1;
    QLabel* imgLogo;
    QLabel* lblProductName;
    QLabel* lblVersion;
};

} // namespace quibo
