#include "app/view/dlgIPAddress.h"

#include "app/view/CheckValue.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quibo {

namespace {

QLineEdit* Box(const char* name, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QLabel* Label(const char* name, const QString& caption, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

} // namespace

dlgIPAddress::dlgIPAddress(SettingsStore& settings, QWidget* parent) : QDialog(parent), m_model(settings) {
    setObjectName(QStringLiteral("dlgIPAddress"));
    setWindowTitle(SettingsDialogModel::Caption);
    setModal(true);

    auto* Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    txtServer = Box("txtServer", Frame1);
    txtPort = Box("txtPort", Frame1);
    auto* server = new QGridLayout(Frame1);
    server->addWidget(Label("Label1", QStringLiteral("Server Address"), Frame1), 0, 0);
    server->addWidget(txtServer, 0, 1);
    server->addWidget(Label("Label2", QStringLiteral("Port Number"), Frame1), 1, 0);
    server->addWidget(txtPort, 1, 1);

    Text3 = new QPlainTextEdit(this);
    Text3->setObjectName(QStringLiteral("Text3"));
    Text3->setReadOnly(true);
    Text3->setPlainText(
        QString(SettingsDialogModel::HelpText).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    Text3->setMinimumHeight(Text3->fontMetrics().lineSpacing() * 8);

    auto* Frame2 = new QGroupBox(QStringLiteral("Other Settings"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    txtDateFormat = Box("txtDateFormat", Frame2);
    txtDecPlaces = Box("txtDecPlaces", Frame2);
    chkOldTally = new QCheckBox(QStringLiteral("I am using Old Tally"), Frame2);
    chkOldTally->setObjectName(QStringLiteral("chkOldTally"));
    auto* other = new QGridLayout(Frame2);
    other->addWidget(Label("Label3", QStringLiteral("Date Format"), Frame2), 0, 0);
    other->addWidget(txtDateFormat, 0, 1);
    other->addWidget(Label("Label4", QStringLiteral("Number Format"), Frame2), 1, 0);
    other->addWidget(txtDecPlaces, 1, 1);
    other->addWidget(chkOldTally, 2, 0, 1, 2);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    connect(OKButton, &QPushButton::clicked, this, &dlgIPAddress::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &dlgIPAddress::CancelButton_Click);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    buttons->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(Frame1, 1);
    top->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(Text3);
    layout->addWidget(Frame2);

    m_model.Form_Load();
    txtServer->setText(m_model.txtServer);
    txtPort->setText(m_model.txtPort);
    txtDateFormat->setText(m_model.txtDateFormat);
    txtDecPlaces->setText(m_model.txtDecPlaces);
    chkOldTally->setCheckState(CheckStateOf(m_model.chkOldTally));
}

void dlgIPAddress::OKButton_Click() {
    m_model.txtServer = txtServer->text();
    m_model.txtPort = txtPort->text();
    m_model.txtDateFormat = txtDateFormat->text();
    m_model.txtDecPlaces = txtDecPlaces->text();
    m_model.chkOldTally = CheckValueOf(chkOldTally->checkState());
    m_model.OKButton_Click();
    accept();
}

void dlgIPAddress::CancelButton_Click() {
    m_model.CancelButton_Click();
    reject();
}

} // namespace quibo
