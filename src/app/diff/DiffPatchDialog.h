#pragma once
// DiffPatchDialog: names an original and a modified set of map0.mul, staidx0.mul and
// statics0.mul, checks the six paths as they are typed, remembers them in the settings
// and writes a diff patch (.qmz) of the statics, the map or both.
//
// One instance lives for the whole run of the program; the main window shows it modally
// from Extra > "Create Diff patch". Its settings store, the stage progress window and the
// prompts (the save dialog "BHDFileSaveDialog", the messages) come from its creator. The
// generation is a job beside the window, which stays disabled while it runs; the stage
// window's Cancel stops it with no patch written.

#include "app/shell/JobRunner.h"
#include "app/shell/Prompts.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QCloseEvent;
class QSettings;
class QShowEvent;
namespace tbapp {
class StageProgressDialog;
}

namespace tbapp {

class DiffPatchDialog : public QDialog {
    Q_OBJECT
public:
    DiffPatchDialog(QSettings& settings, StageProgressDialog& prForm, tbapp::Prompts& prompts,
                    QWidget* parent = nullptr);

    // Settings value names, one per path edit: the original row, then the modified row
    // (staidx, statics, map each).
    static const char* const kSettingNames[6];

    // Why `path` cannot take the patch (no such folder, a read-only file), or an empty
    // text when it can.
    static QString patchFileRefusal(const QString& path);

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Puts the six stored paths into the edits (each change runs that edit's check).
    void loadPaths();
    // Writes the six texts to the settings.
    void savePaths();
    // When all six edits are valid: saves the paths and enables the part boxes and the
    // generate button. Otherwise the button is disabled (a run would fail anyway).
    void checkAllPaths();
    // Colours path edit `index` by whether it names an existing file of its column.
    void checkPathEdit(int index);
    // At least one part stays chosen: un-ticking the last ticked box ticks the other one.
    void keepOnePartChosen(QCheckBox* unticked, QCheckBox* other);
    // "Generate Diff": asks for the patch file and writes it.
    void generateChosenParts();
    void generate(const QString& patchFile);
    // The window is usable again after a run, or after the save dialog was cancelled.
    void runEnded();
    // Asks with BHDFileSaveDialog until the user names a usable file or cancels; false when
    // cancelled.
    bool askPatchFileName(QString& fileName);

    QCheckBox* m_staticsCheck;
    QCheckBox* m_mapCheck;
    QPushButton* m_generateButton;
    // The original row, then the modified row (staidx, statics, map each).
    std::array<QLineEdit*, 6> m_pathEdits{};

    QSettings& m_settings;
    StageProgressDialog& m_prForm;
    tbapp::Prompts& m_prompts;
    // The file the save dialog offers: the last one chosen, at first "qvpatch".
    QString m_patchFile = "qvpatch";
    bool m_centred = false;
    JobRunner m_jobs; // the generation, while it runs
};

} // namespace tbapp
