#include "app/commands/AboutBoxModel.h"

#include "base/Services.h"

#include <QStringList>

namespace quibo {

QString AboutBoxModel::ContactText() {
    static const QStringList lines = {
        QStringLiteral("Quibo imports masters and vouchers into Tally"),
        QStringLiteral("from Excel workbooks, text files, Access databases"),
        QStringLiteral("and ODBC data sources."),
        QString(),
        QStringLiteral("For help, contact the team that installed Quibo for you."),
    };
    QString text;
    for (const QString& line : lines)
        text += QStringLiteral("     ") + line + QStringLiteral("\r\n");
    return text;
}

void AboutBoxModel::Form_Load() {
    caption = QStringLiteral("About ") + AppInfo::Title();
    lblVersion = m_app.VersionCaption();
    lblTitle = AppInfo::Title();
    lblDescription = Description;
    Text1 = ContactText();
    ctrlFlag = false;
}

void AboutBoxModel::Text1_KeyDown(int /*keyCode*/, int shift) {
    if (shift == CtrlMask) {
        ctrlFlag = true;
        return;
    }
    ctrlFlag = false;
    Text1.clear();
}

void AboutBoxModel::Text1_KeyUp(int /*keyCode*/, int /*shift*/) {
    ctrlFlag = false;
    Text1.clear();
}

void AboutBoxModel::Text1_DblClick() {
    if (ctrlFlag) Text1 = ContactText();
}

void AboutBoxModel::StartSysInfo(MessageBoxService& messages) {
    MessageBoxRequest box;
    box.text = Unavailable;
    box.title = AppInfo::Title();
    box.icon = MsgIcon::None;
    box.buttons = MsgButtons::OkOnly;
    messages.show(box);
}

} // namespace quibo
