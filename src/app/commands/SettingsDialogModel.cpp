#include "app/commands/SettingsDialogModel.h"

#include "base/Services.h"

namespace quibo {

const QString SettingsDialogModel::HelpText =
    QStringLiteral("The Default values are  as follows\r\n"
                   "-For Server Address running on local machince \r\n"
                   "    Server Address: 127.0.0.1\r\n"
                   "    Port Number: 9000\r\n"
                   "-For Server Address running on network machince \r\n"
                   "    Server Address: 190.168.0.XXX or other\r\n"
                   "    Port Number: 9000 or other\r\n");

void SettingsDialogModel::Form_Load() {
    txtServer = m_settings.get(settings::ServerAddress);
    txtPort = m_settings.get(settings::PortNo);
    txtDateFormat = m_settings.get(settings::DateFormat);
    txtDecPlaces = m_settings.get(settings::DecimalPlaces);
    const QString useOld = m_settings.get(settings::UseOldTally);

    if (txtServer.isEmpty()) txtServer = DefaultServer;
    if (txtPort.isEmpty()) txtPort = DefaultPort;
    if (txtDateFormat.isEmpty()) txtDateFormat = DefaultDateFormat;
    if (txtDecPlaces.isEmpty()) txtDecPlaces = DefaultDecimalPlaces;

    chkOldTally = 0;
    if (useOld == QLatin1String("Yes")) chkOldTally = 1;
}

void SettingsDialogModel::OKButton_Click() {
    m_settings.set(settings::ServerAddress, txtServer);
    m_settings.set(settings::PortNo, txtPort);
    m_settings.set(settings::DateFormat, txtDateFormat);
    m_settings.set(settings::DecimalPlaces, txtDecPlaces);
    m_settings.set(settings::UseOldTally, chkOldTally == 1 ? QStringLiteral("Yes") : QStringLiteral("No"));
}

} // namespace quibo
