#pragma once

#include "app/commands/AboutBoxModel.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace quibo {

class MessageBoxService;

// The about box over its model. Key and double-click events of the contact
// text go to the model, which decides what the box holds.
class frmAbout final : public QDialog {
    Q_OBJECT
public:
    frmAbout(MessageBoxService& messages, QWidget* parent = nullptr, AppInfo app = AppInfo::Program());

    AboutBoxModel& model() { return m_model; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowText1();

    MessageBoxService& m_messages;
    AboutBoxModel m_model;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblDescription;
    QPlainTextEdit* Text1;
    QPushButton* cmdOK;
    QPushButton* cmdSysInfo;
};

} // namespace quibo
