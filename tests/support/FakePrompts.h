#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "ui/platform/Prompts.h"

namespace kestrel_test {

// Answers the editor's message boxes, questions and file dialogs instead of
// a person, for as long as it lives (the one before comes back after). A
// message is recorded; a question or dialog without an answer set fails the
// test and gets the answer that changes nothing.
class FakePrompts : public kestrel::ui::Prompts {
public:
    FakePrompts() : mPrevious(kestrel::ui::setPrompts(this)) {}
    ~FakePrompts() override { kestrel::ui::setPrompts(mPrevious); }
    FakePrompts(const FakePrompts&) = delete;
    FakePrompts& operator=(const FakePrompts&) = delete;

    // Every message shown, in order, unless onMessage takes them.
    std::vector<QString> messages;
    std::function<void(const QString& text)> onMessage;
    std::function<kestrel::ui::SaveChangesAnswer(const QString& question)> onSaveChanges;
    std::function<kestrel::ui::UpdateEditsAnswer()> onUpdateEdits;
    std::function<bool(const QString& text)> onYesNo;
    std::function<bool(const QString& text)> onSaveOverIncomplete;
    std::function<bool(const QString& text)> onFitValues;
    std::function<kestrel::ui::RecoveryAnswer(const QString& question)> onRecovery;
    std::function<std::optional<QString>(bool save, const QString& proposed)> onFileName;
    // The title of every file dialog asked for, in order.
    std::vector<QString> fileTitles;

    void message(QWidget*, const QString& text) override {
        if (onMessage)
            onMessage(text);
        else
            messages.push_back(text);
    }
    kestrel::ui::SaveChangesAnswer saveChanges(QWidget*, const QString& question,
                                               kestrel::ui::SaveChangesAnswer) override {
        if (onSaveChanges)
            return onSaveChanges(question);
        ADD_FAILURE() << "unexpected question " << question.toStdString();
        return kestrel::ui::SaveChangesAnswer::Cancel;
    }
    kestrel::ui::UpdateEditsAnswer updateEdits(QWidget*) override {
        if (onUpdateEdits)
            return onUpdateEdits();
        ADD_FAILURE() << "unexpected question \"Update equipment?\"";
        return kestrel::ui::UpdateEditsAnswer::Cancel;
    }
    bool yesNo(QWidget*, const QString& text) override {
        if (onYesNo)
            return onYesNo(text);
        ADD_FAILURE() << "unexpected question " << text.toStdString();
        return false;
    }
    bool saveOverIncomplete(QWidget*, const QString& text) override {
        if (onSaveOverIncomplete)
            return onSaveOverIncomplete(text);
        ADD_FAILURE() << "unexpected question " << text.toStdString();
        return false;
    }
    bool fitValues(QWidget*, const QString& text) override {
        if (onFitValues)
            return onFitValues(text);
        ADD_FAILURE() << "unexpected question " << text.toStdString();
        return false;
    }
    kestrel::ui::RecoveryAnswer recovery(QWidget*, const QString& question) override {
        if (onRecovery)
            return onRecovery(question);
        ADD_FAILURE() << "unexpected question " << question.toStdString();
        return kestrel::ui::RecoveryAnswer::Later;
    }
    std::optional<QString> fileName(QWidget*, bool save, const QString& proposed,
                                    const QString& title) override {
        fileTitles.push_back(title);
        if (onFileName)
            return onFileName(save, proposed);
        ADD_FAILURE() << "unexpected file dialog proposing " << proposed.toStdString();
        return std::nullopt;
    }

private:
    kestrel::ui::Prompts* mPrevious;
};

}  // namespace kestrel_test
