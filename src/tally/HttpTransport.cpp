#include "tally/HttpTransport.h"

#include <QStringDecoder>

namespace quibo {

QString HttpReply::charset() const {
    for (const QString& part : contentType.split(u';')) {
        const QString p = part.trimmed();
        if (p.startsWith(QLatin1String("charset="), Qt::CaseInsensitive)) {
            QString value = p.mid(8).trimmed();
            if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'))
                value = value.mid(1, value.size() - 2);
            return value;
        }
    }
    return {};
}

QString HttpReply::text() const {
    const QString name = charset();
    if (!name.isEmpty()) {
        QStringDecoder decoder(name.toLatin1().constData());
        if (decoder.isValid()) return decoder.decode(body);
    }
    const auto bom = QStringConverter::encodingForData(body);
    QStringDecoder decoder(bom.value_or(QStringConverter::Utf8));
    return decoder.decode(body);
}

} // namespace quibo
