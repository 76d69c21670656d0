#pragma once
// DiffPatchDialog: names an original and a modified set of map0.mul, staidx0.mul and
// statics0.mul, checks the six paths as they are typed, remembers them in the settings
// and writes a diff patch (.qmz) of the statics, the map or both.
//
// One instance lives for the whole run of the program; the main window shows it modally
// from Extra > "Create Diff patch". Its settings store, the stage progress window and the
// prompts (the save dialog "BHDFileSaveDialog", the messages) come from its creator.

#include "shell/Prompts.h"

#include <QDialog>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSettings;
class QShowEvent;
class QToolButton;
namespace tbapp {
class StageProgressDialog;
}

namespace tbapp {

class DiffPatchDialog : public QDialog {
    Q_OBJECT
public:
    DiffPatchDialog(QSettings& settings, StageProgressDialog& prForm, tbapp::Prompts& prompts,
                    QWidget* parent = nullptr);

    // Settings value names, one per path edit, in the order of the edits.
    static const char* const kSettingNames[6];

    // The six path edits: original row, then modified row (staidx, statics, map).
    QLineEdit* pathEdit(int index) const;

    // Puts the six stored paths into the edits (each change runs that edit's check).
    void LoadDiffPaths();
    // Writes the six texts to the settings.
    void SaveDiffPaths();
    // When all six edits are valid: saves the paths and enables the part boxes and
    // GenerateButton. Otherwise GenerateButton is disabled (a run would fail anyway).
    void CheckAllPaths();

    // Why `path` cannot take the patch (no such folder, a read-only file), or an empty
    // text when it can.
    static QString patchFileRefusal(const QString& path);

    QFrame* ConfigurationPanel;
    QGroupBox* GenerateSelectGroupBox;
    QCheckBox* StaticsCheckBox;
    QCheckBox* MapCheckBox;
    QGroupBox* ButtonGroupBox;
    QPushButton* GenerateButton;
    QToolButton* CloseBtn;

    QFrame* FileNamePanel;
    QLabel* StaIdxLabel;
    QLabel* StaticsLabel;
    QLabel* MapLabel;
    QLabel* OriginalLabel;
    QLabel* ModifiedLabel;
    QLineEdit* OStaIdxEdit;
    QLineEdit* OStaticsEdit;
    QLineEdit* OMapEdit;
    QLineEdit* MStaIdxEdit;
    QLineEdit* MStaticsEdit;
    QLineEdit* MMapEdit;

public slots:
    void FormShow();
    void OStaIdxEditChange();
    void OStaticsEditChange();
    void OMapEditChange();
    void MStaIdxEditChange();
    void MStaticsEditChange();
    void MMapEditChange();
    void StaticsCheckBoxClick();
    void MapCheckBoxClick();
    void GenerateButtonClick();
    void CloseBtnClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void checkPathEdit(QLineEdit* edit, const char* expectedName);
    void generate(const QString& patchFile);
    // Asks with BHDFileSaveDialog until the user names a usable file or cancels; false when
    // cancelled.
    bool askPatchFileName(QString& fileName);

    QSettings& m_settings;
    StageProgressDialog& m_prForm;
    tbapp::Prompts& m_prompts;
    // The file the save dialog offers: the last one chosen, at first "qvpatch".
    QString m_patchFile = "qvpatch";
    bool m_centred = false;
};

} // namespace tbapp
