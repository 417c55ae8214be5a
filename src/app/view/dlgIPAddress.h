#pragma once

#include "app/commands/SettingsDialogModel.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace quibo {

class SettingsStore;

// The settings dialog over its model: shows the five settings, OK hands the
// boxes to the model, which stores them; Cancel and the close box store nothing.
class dlgIPAddress final : public QDialog {
    Q_OBJECT
public:
    explicit dlgIPAddress(SettingsStore& settings, QWidget* parent = nullptr);

    SettingsDialogModel& model() { return m_model; }

private:
    void OKButton_Click();
    void CancelButton_Click();

    SettingsDialogModel m_model;
    QLineEdit* txtServer;
    QLineEdit* txtPort;
    QPlainTextEdit* Text3;
    QLineEdit* txtDateFormat;
    QLineEdit* txtDecPlaces;
    QCheckBox* chkOldTally;
    QPushButton* OKButton;
    QPushButton* CancelButton;
};

} // namespace quibo
