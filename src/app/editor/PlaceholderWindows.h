#pragma once
// Stand-ins for long-lived windows whose own code is not in the program yet: the options
// dialog and the diff patch window. Each is an empty dialog with its caption, created at
// start-up like the real one; replace it by the real window when that lands.

#include <QDialog>

class TBHFOptions : public QDialog {
    Q_OBJECT
public:
    explicit TBHFOptions(QWidget* owner = nullptr);
};

class TBHDiffForm : public QDialog {
    Q_OBJECT
public:
    explicit TBHDiffForm(QWidget* owner = nullptr);
};
