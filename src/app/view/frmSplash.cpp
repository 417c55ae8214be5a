#include "app/view/frmSplash.h"

#include "app/view/ImageList.h"

#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace quibo {

frmSplash::frmSplash(AppInfo app, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSplash"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(6, 6, 6, 6);
    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::Box);
    Frame1->installEventFilter(this);
    outer->addWidget(Frame1);

    imgLogo = new QLabel(Frame1);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setPixmap(ImageList::ProductPicture(96));

    lblProductName = new QLabel(Frame1);
    lblProductName->setObjectName(QStringLiteral("lblProductName"));
    QFont big = lblProductName->font();
    big.setPointSizeF(big.pointSizeF() * 2.4);
    big.setBold(true);
    lblProductName->setFont(big);

    lblVersion = new QLabel(Frame1);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));

    // The four fixed texts.
    auto* lblPurpose = new QLabel(QStringLiteral("Imports masters and vouchers into Tally"), Frame1);
    auto* lblSources = new QLabel(QStringLiteral("from Excel, text, Access and ODBC sources"), Frame1);
    auto* lblStarting = new QLabel(QStringLiteral("Starting..."), Frame1);
    auto* lblHint = new QLabel(QStringLiteral("Press any key to close this window"), Frame1);
    lblHint->setEnabled(false);

    auto* grid = new QGridLayout(Frame1);
    grid->setContentsMargins(18, 18, 18, 14);
    grid->setHorizontalSpacing(18);
    grid->addWidget(imgLogo, 0, 0, 4, 1, Qt::AlignTop);
    grid->addWidget(lblProductName, 0, 1);
    grid->addWidget(lblVersion, 1, 1);
    grid->addWidget(lblPurpose, 2, 1);
    grid->addWidget(lblSources, 3, 1);
    grid->addWidget(lblStarting, 4, 1);
    grid->addWidget(lblHint, 5, 0, 1, 2, Qt::AlignRight);

    lblVersion->setText(app.VersionCaption());
    lblProductName->setText(AppInfo::Title());
}

void frmSplash::UnloadMeX() {
    close();
}

void frmSplash::keyPressEvent(QKeyEvent* /*event*/) {
    UnloadMeX();
}

bool frmSplash::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Frame1 && event->type() == QEvent::MouseButtonRelease) {
        UnloadMeX();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace quibo
