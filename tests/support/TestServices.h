#pragma once

// Test doubles for the service interfaces: a message box that records every
// box and answers from a script, a clock that only moves when told to, and a
// temporary data folder.

#include "base/Services.h"

#include <QDateTime>
#include <QString>
#include <QTemporaryDir>

#include <deque>
#include <functional>
#include <vector>

namespace quibo::test {

class ScriptedMessageBox final : public MessageBoxService {
public:
    MsgAnswer show(const MessageBoxRequest& request) override;
    // Answers given in order; when none is left the box takes its default button.
    void answerNext(MsgAnswer answer) { m_answers.push_back(answer); }

    std::vector<MessageBoxRequest> shown;
    QStringList texts() const;
    QStringList titles() const;
    // The location codes of the error reports shown, in order ("?" for a box that is none).
    QStringList locations() const;

private:
    std::deque<MsgAnswer> m_answers;
};

class ScriptedFileDialog final : public FileDialogService {
public:
    std::optional<QString> openFile(const FileDialogRequest& request) override;
    void answerNext(const QString& path) { m_answers.push_back({true, path}); }
    void cancelNext() { m_answers.push_back({false, QString()}); }
    std::vector<FileDialogRequest> asked;

private:
    struct Answer {
        bool chosen;
        QString path;
    };
    std::deque<Answer> m_answers; // none left: the user cancels
};

// Starts at 2026-12-08 10:20:30; sleep() moves it forward and records the call.
class FakeClock final : public ClockService {
public:
    FakeClock();
    QDateTime now() const override { return m_now; }
    void sleep(int milliseconds) override;
    void set(const QDateTime& t) { m_now = t; }
    void advance(int milliseconds) { m_now = m_now.addMSecs(milliseconds); }

    int sleeps = 0;
    qint64 sleptMs = 0;

private:
    QDateTime m_now;
};

// Counts the yields and runs the hook, if any, at each: to act while a run has handed the window a turn.
class CountingYield final : public RowYieldService {
public:
    void yield() override {
        ++count;
        if (hook) hook(count);
    }
    int count = 0;
    std::function<void(int count)> hook;
};

class RecordingStatusLine final : public StatusLineService {
public:
    void panelChanged(const QString& key, const QString& text) override {
        changes.append(key + QLatin1Char('=') + text);
    }
    QStringList changes;
};

// A fresh folder per test, removed afterwards.
class TempFolder {
public:
    TempFolder();
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

} // namespace quibo::test
