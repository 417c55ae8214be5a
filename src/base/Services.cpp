#include "base/Services.h"

#include <QThread>

namespace quibo {

MsgAnswer DefaultAnswer(const MessageBoxRequest& request) {
    auto pick = [&](std::initializer_list<MsgAnswer> answers) {
        const int i = request.defaultButton;
        return (i >= 0 && i < int(answers.size())) ? answers.begin()[i] : *answers.begin();
    };
    switch (request.buttons) {
    case MsgButtons::OkOnly:
        return MsgAnswer::Ok;
    case MsgButtons::OkCancel:
        return pick({MsgAnswer::Ok, MsgAnswer::Cancel});
    case MsgButtons::AbortRetryIgnore:
        return pick({MsgAnswer::Abort, MsgAnswer::Retry, MsgAnswer::Ignore});
    case MsgButtons::YesNoCancel:
        return pick({MsgAnswer::Yes, MsgAnswer::No, MsgAnswer::Cancel});
    case MsgButtons::YesNo:
        return pick({MsgAnswer::Yes, MsgAnswer::No});
    case MsgButtons::RetryCancel:
        return pick({MsgAnswer::Retry, MsgAnswer::Cancel});
    }
    return MsgAnswer::Ok;
}

QString IconName(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::None:
        return {};
    case MsgIcon::Critical:
        return QStringLiteral("Critical");
    case MsgIcon::Question:
        return QStringLiteral("Question");
    case MsgIcon::Exclamation:
        return QStringLiteral("Exclamation");
    case MsgIcon::Information:
        return QStringLiteral("Information");
    }
    return {};
}

QDateTime SystemClock::now() const {
    return QDateTime::currentDateTime();
}

void SystemClock::sleep(int milliseconds) {
    QThread::msleep(static_cast<unsigned long>(milliseconds));
}

} // namespace quibo
