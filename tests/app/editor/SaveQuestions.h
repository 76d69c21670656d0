#pragma once
// Answers "Save changes to <file name>?" for the window tests: from a queue of answers,
// Discard once the queue is empty, and remembers each file name asked about. Every other
// prompt is the standard one, which the tests' message sink records.

#include "patch/UiPrompts.h"

#include <QList>
#include <QStringList>

namespace tbtest {

class SaveQuestions : public UiPrompts {
public:
    UnsavedChangesAnswer askSaveChanges(QWidget*, const QString& fileName) override {
        asked << fileName;
        return answers.isEmpty() ? UnsavedChangesAnswer::Discard : answers.takeFirst();
    }

    QList<UnsavedChangesAnswer> answers;
    QStringList asked;
};

} // namespace tbtest
