#include "app/view/frmAbout.h"

#include "app/view/ImageList.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quibo {

namespace {

// The shift state the about box's key test reads: 1 Shift, 2 Ctrl, 4 Alt. Qt leaves a modifier
// key's own bit out of its press; the test counts it, so Ctrl going down reads as Ctrl.
int ShiftState(const QKeyEvent& key) {
    const Qt::KeyboardModifiers modifiers = key.modifiers();
    int shift = 0;
    if (key.key() == Qt::Key_Shift) shift |= 1;
    if (key.key() == Qt::Key_Control) shift |= 2;
    if (key.key() == Qt::Key_Alt) shift |= 4;
    if (modifiers & Qt::ShiftModifier) shift |= 1;
    if (modifiers & Qt::ControlModifier) shift |= 2;
    if (modifiers & Qt::AltModifier) shift |= 4;
    return shift;
}

QString ForDisplay(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

frmAbout::frmAbout(MessageBoxService& messages, QWidget* parent, AppInfo app)
    : QDialog(parent), m_messages(messages), m_model(app) {
    setObjectName(QStringLiteral("frmAbout"));
    setModal(true);

    auto* Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(ImageList::ProductPicture(64));
    lblTitle = new QLabel(this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    lblVersion = new QLabel(this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblDescription = new QLabel(this);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblDescription->setWordWrap(true);
    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->installEventFilter(this);
    Text1->viewport()->installEventFilter(this);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    // The box opens on OK, so Enter closes it: a key typed into the contact text empties it.
    cmdOK->setFocus();
    cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, [this] { m_model.StartSysInfo(m_messages); });

    auto* grid = new QGridLayout(this);
    grid->addWidget(Picture1, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(lblTitle, 0, 1);
    grid->addWidget(lblVersion, 1, 1);
    grid->addWidget(lblDescription, 2, 1);
    grid->addWidget(Text1, 3, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    grid->addLayout(buttons, 4, 0, 1, 2);
    resize(520, 360);

    m_model.Form_Load();
    setWindowTitle(m_model.caption);
    lblTitle->setText(m_model.lblTitle);
    lblVersion->setText(m_model.lblVersion);
    lblDescription->setText(m_model.lblDescription);
    ShowText1();
}

void frmAbout::ShowText1() {
    const QString shown = ForDisplay(m_model.Text1);
    if (Text1->toPlainText() != shown) Text1->setPlainText(shown);
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Text1 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Tab moves the focus on, as it does past any text box.
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) return false;
        m_model.Text1_KeyDown(key->key(), ShiftState(*key));
        ShowText1();
        // Escape still reaches the box, which closes.
        return key->key() != Qt::Key_Escape;
    }
    if (watched == Text1 && event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        m_model.Text1_KeyUp(key->key(), ShiftState(*key));
        ShowText1();
        return true;
    }
    if (watched == Text1->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        m_model.Text1_DblClick();
        ShowText1();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace quibo
