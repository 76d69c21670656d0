#pragma once
// The file panel of the main window: the map path and game directory boxes (green when
// valid, red when not), their "..." dialogs, Load and Save, and the map information
// labels. It validates and shows; the window loads and saves.

#include "core/MapVariant.h"

#include <QWidget>

#include <optional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tbapp {
class Prompts;

class FilePanel : public QWidget {
    Q_OBJECT
public:
    FilePanel(Prompts& prompts, QWidget* parent);

    QString mapPath() const;
    QString gamePath() const;
    bool mapPathValid() const;
    bool gamePathValid() const;
    // Puts a text into a box; its change handling runs also when the text is the same.
    void setMapPath(const QString& path);
    void setGamePath(const QString& path);
    // Puts a path back without running the change handling.
    void restoreMapPath(const QString& path);
    // Marks the map path valid when it names an existing map file and shows its version and
    // size ("None" for an unknown file). Returns the identified variant.
    std::optional<tb::MapVariant> validateMapPath();
    // The variant validateMapPath identified last, none for an unknown file.
    const std::optional<tb::MapVariant>& mapVariant() const { return m_variant; }

    // Load and Save: while a job changes the document both are disabled, and while it saves
    // Save reads "Saving ...".
    void setSaveAvailable(bool available);
    void setJobRunning(bool running, bool saving = false);
    bool loadEnabled() const;
    bool saveEnabled() const;

signals:
    void mapPathEdited();
    // The game directory changed; `valid` when the art files are there.
    void gamePathEdited(bool valid);
    void loadClicked();
    void saveClicked();
    // Load or Save became enabled or disabled.
    void buttonsChanged();

private:
    void gamePathChanged();
    void chooseMapFile();
    void chooseGameDir();

    QLineEdit* m_mapPathEdit = nullptr;
    QPushButton* m_mapBrowseButton = nullptr;
    QPushButton* m_loadButton = nullptr;
    QLineEdit* m_gamePathEdit = nullptr;
    QPushButton* m_gameBrowseButton = nullptr;
    QPushButton* m_saveButton = nullptr;
    QLabel* m_versionLabel = nullptr;
    QLabel* m_sizeLabel = nullptr;
    Prompts& m_prompts;
    std::optional<tb::MapVariant> m_variant;
    bool m_saveAvailable = false;
    bool m_jobRunning = false;
};

} // namespace tbapp
