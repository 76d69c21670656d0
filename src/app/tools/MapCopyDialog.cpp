#include "tools/MapCopyDialog.h"

#include "shell/NumberText.h"
#include "shell/PathBox.h"
#include "tools/MapCopy.h"
#include "tools/ToolFiles.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <filesystem>

namespace tbapp {

namespace {

constexpr const char* kUnknown = "Unknown";

std::filesystem::path toPath(const QString& text) {
    return std::filesystem::path(text.toStdU16String());
}

std::int32_t readInt(const QLineEdit* edit) {
    return tb::strToInt(edit->text().toStdString());
}

QLineEdit* coordinateEdit(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit("0", parent);
    edit->setObjectName(name);
    edit->setFixedWidth(38);
    return edit;
}

QLabel* label(QWidget* parent, const char* name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

} // namespace

const QColor MapCopyDialog::kWrongCoordinateColour(255, 0, 0);

bool MapCopyDialog::isCoordinateWrong(const QLineEdit* edit) {
    return edit->palette().color(QPalette::Base) == kWrongCoordinateColour;
}

MapCopyDialog::MapCopyDialog(tbapp::Prompts& prompts, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_prompts(prompts) {
    setObjectName("TMapCopyForm");
    setWindowTitle("Tolvane Brimholt - Map Copy");
    setFont(QFont("Tahoma", 8));

    SourceMap = label(this, "SourceMap", "Source map:");
    EditSourceMap = new QLineEdit(this);
    EditSourceMap->setObjectName("EditSourceMap");
    btnSourceFile = new QPushButton("...", this);
    btnSourceFile->setObjectName("btnSourceFile");
    btnSourceFile->setFixedWidth(25);
    EditSX1 = coordinateEdit(this, "EditSX1");
    EditSY1 = coordinateEdit(this, "EditSY1");
    EditSX2 = coordinateEdit(this, "EditSX2");
    EditSY2 = coordinateEdit(this, "EditSY2");
    grp1 = new QGroupBox("Source Map file information : ", this);
    grp1->setObjectName("grp1");
    TextSMapInfo = label(grp1, "TextSMapInfo", QString());
    TextSMapSize = label(grp1, "TextSMapSize", QString());

    DestinationMap = label(this, "DestinationMap", "Destination map:");
    EditDestinationMap = new QLineEdit(this);
    EditDestinationMap->setObjectName("EditDestinationMap");
    btnDestinationFile = new QPushButton("...", this);
    btnDestinationFile->setObjectName("btnDestinationFile");
    btnDestinationFile->setFixedWidth(25);
    EditDX = coordinateEdit(this, "EditDX");
    EditDY = coordinateEdit(this, "EditDY");
    btnCopy = new QPushButton("Copy", this);
    btnCopy->setObjectName("btnCopy");
    btnCopy->setEnabled(false);
    grp2 = new QGroupBox("Destination Map file information : ", this);
    grp2->setObjectName("grp2");
    TextDMapInfo = label(grp2, "TextDMapInfo", QString());
    TextDMapSize = label(grp2, "TextDMapSize", QString());

    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName("ProgressBar");
    ProgressBar->setTextVisible(false);
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);

    // Source side on the left, destination side on the right, the bar along the bottom.
    auto* left = new QGridLayout;
    left->addWidget(SourceMap, 0, 0, 1, 4);
    left->addWidget(EditSourceMap, 1, 0, 1, 4);
    left->addWidget(btnSourceFile, 1, 4);
    left->addWidget(label(this, "LabelSX1", "X1:"), 2, 0);
    left->addWidget(EditSX1, 2, 1);
    left->addWidget(label(this, "LabelSY1", "Y1:"), 2, 2);
    left->addWidget(EditSY1, 2, 3);
    left->addWidget(label(this, "LabelSX2", "X2:"), 3, 0);
    left->addWidget(EditSX2, 3, 1);
    left->addWidget(label(this, "LabelSY2", "Y2:"), 3, 2);
    left->addWidget(EditSY2, 3, 3);
    left->addWidget(grp1, 4, 0, 1, 6);
    left->setColumnStretch(5, 1);
    auto* sourceInfo = new QVBoxLayout(grp1);
    sourceInfo->addWidget(TextSMapInfo);
    sourceInfo->addWidget(TextSMapSize);

    auto* right = new QGridLayout;
    right->addWidget(DestinationMap, 0, 0, 1, 4);
    right->addWidget(EditDestinationMap, 1, 0, 1, 4);
    right->addWidget(btnDestinationFile, 1, 4);
    right->addWidget(label(this, "LabelDX", "X:"), 2, 0);
    right->addWidget(EditDX, 2, 1);
    right->addWidget(label(this, "LabelDY", "Y:"), 2, 2);
    right->addWidget(EditDY, 2, 3);
    right->addWidget(btnCopy, 3, 0, 1, 4);
    right->addWidget(grp2, 4, 0, 1, 6);
    right->setColumnStretch(5, 1);
    auto* destinationInfo = new QVBoxLayout(grp2);
    destinationInfo->addWidget(TextDMapInfo);
    destinationInfo->addWidget(TextDMapSize);

    auto* sides = new QHBoxLayout;
    sides->addLayout(left, 1);
    sides->addSpacing(12);
    sides->addLayout(right, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 4);
    layout->addLayout(sides);
    layout->addStretch(1);
    layout->addWidget(ProgressBar);
    setFixedSize(QSize(530, 182).expandedTo(sizeHint()));

    setTabOrder(EditSourceMap, EditSX1);
    setTabOrder(EditSX1, EditSY1);
    setTabOrder(EditSY1, EditSX2);
    setTabOrder(EditSX2, EditSY2);
    setTabOrder(EditSY2, EditDestinationMap);
    setTabOrder(EditDestinationMap, EditDX);
    setTabOrder(EditDX, EditDY);
    setTabOrder(EditDY, btnCopy);
    setTabOrder(btnCopy, btnSourceFile);
    setTabOrder(btnSourceFile, btnDestinationFile);

    // FormCreate
    m_normalBase = EditSX1->palette().color(QPalette::Base);
    for (QLabel* info : {TextSMapInfo, TextSMapSize, TextDMapInfo, TextDMapSize})
        info->setText(kUnknown);

    auto reported = [this](void (MapCopyDialog::*handler)()) {
        return
            [this, handler] { tbapp::runReported(m_prompts, this, [&] { (this->*handler)(); }); };
    };
    connect(btnSourceFile, &QPushButton::clicked, this, &MapCopyDialog::btnSourceFileClick);
    connect(btnDestinationFile, &QPushButton::clicked, this,
            &MapCopyDialog::btnDestinationFileClick);
    connect(btnCopy, &QPushButton::clicked, this, &MapCopyDialog::btnCopyClick);
    connect(EditSourceMap, &QLineEdit::textChanged, this,
            reported(&MapCopyDialog::EditSourceMapChange));
    connect(EditDestinationMap, &QLineEdit::textChanged, this,
            reported(&MapCopyDialog::EditDestinationMapChange));
    connect(EditSX1, &QLineEdit::textChanged, this, reported(&MapCopyDialog::EditSX1Change));
    connect(EditSX2, &QLineEdit::textChanged, this, reported(&MapCopyDialog::EditSX2Change));
    connect(EditSY1, &QLineEdit::textChanged, this, reported(&MapCopyDialog::EditSY1Change));
    connect(EditSY2, &QLineEdit::textChanged, this, reported(&MapCopyDialog::EditSY2Change));
    connect(EditDX, &QLineEdit::textChanged, this, reported(&MapCopyDialog::EditDXChange));
    connect(EditDY, &QLineEdit::textChanged, this, reported(&MapCopyDialog::EditDYChange));
}

QString MapCopyDialog::askMapFile(const QString& name, QString& dir) {
    tbapp::FileDialogRequest request;
    request.name = name;
    request.filter = "Ultima Online MAP (*.mul *.uop)";
    request.directory = dir;
    const QString chosen = m_prompts.openFileName(this, request);
    if (!chosen.isEmpty())
        dir = QFileInfo(chosen).absolutePath();
    return chosen;
}

void MapCopyDialog::btnSourceFileClick() {
    const QString name = askMapFile("dlgOpenSource", m_sourceDir);
    tbapp::runReported(m_prompts, this, [&] {
        if (!name.isEmpty())
            EditSourceMap->setText(name);
        EditSourceMapChange();
    });
}

void MapCopyDialog::btnDestinationFileClick() {
    const QString name = askMapFile("dlgOpenDestination", m_destinationDir);
    tbapp::runReported(m_prompts, this, [&] {
        if (!name.isEmpty())
            EditDestinationMap->setText(name);
        EditDestinationMapChange();
    });
}

void MapCopyDialog::EditSourceMapChange() {
    pathCheck(Side::Source);
}

void MapCopyDialog::EditDestinationMapChange() {
    pathCheck(Side::Destination);
}

void MapCopyDialog::pathCheck(Side side) {
    QLineEdit* edit = side == Side::Source ? EditSourceMap : EditDestinationMap;
    std::error_code ec;
    if (!edit->text().isEmpty() && std::filesystem::is_regular_file(toPath(edit->text()), ec))
        IdentifyCopyMap(side);
    else
        tbapp::setPathBoxValid(edit, false);
    btnCopy->setEnabled(!m_running && tbapp::isPathBoxValid(EditSourceMap) &&
                        tbapp::isPathBoxValid(EditDestinationMap));
    RevalidateCoords();
}

void MapCopyDialog::IdentifyCopyMap(Side side) {
    const bool source = side == Side::Source;
    QLineEdit* edit = source ? EditSourceMap : EditDestinationMap;
    QLabel* info = source ? TextSMapInfo : TextDMapInfo;
    QLabel* size = source ? TextSMapSize : TextDMapSize;
    int& lastX = source ? m_sourceLastX : m_destLastX;
    int& lastY = source ? m_sourceLastY : m_destLastY;
    info->setText(kUnknown);
    size->setText(kUnknown);
    lastX = 0;
    lastY = 0;
    tbapp::setPathBoxValid(edit, false);
    if (const auto variant = tb::identifyMapFile(toPath(edit->text()))) {
        info->setText(QString::fromStdString(tb::copyMapCaption(*variant)));
        size->setText(
            QString::fromUtf8(variant->sizeText.data(), qsizetype(variant->sizeText.size())));
        lastX = variant->width - 1;
        lastY = variant->height - 1;
        tbapp::setPathBoxValid(edit, true);
    }
}

void MapCopyDialog::setWrong(QLineEdit* edit, bool wrong) {
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, wrong ? kWrongCoordinateColour : m_normalBase);
    edit->setPalette(palette);
}

void MapCopyDialog::checkSourceCoordinate(QLineEdit* edit, int last,
                                          void (MapCopyDialog::*then)()) {
    if (edit->text().isEmpty())
        return;
    setWrong(edit, tb::sourceCoordinateOutOfRange(readInt(edit), last));
    (this->*then)();
}

void MapCopyDialog::checkTargetCoordinate(QLineEdit* target, QLineEdit* first, QLineEdit* second,
                                          int last) {
    if (target->text().isEmpty() || first->text().isEmpty() || second->text().isEmpty())
        return;
    const std::int32_t d = readInt(target);
    const std::int32_t c1 = readInt(first);
    const std::int32_t c2 = readInt(second);
    setWrong(target, tb::targetCoordinateOutOfRange(d, c1, c2, last));
}

void MapCopyDialog::EditSX1Change() {
    checkSourceCoordinate(EditSX1, m_sourceLastX, &MapCopyDialog::EditDXChange);
}

void MapCopyDialog::EditSX2Change() {
    checkSourceCoordinate(EditSX2, m_sourceLastX, &MapCopyDialog::EditDXChange);
}

void MapCopyDialog::EditSY1Change() {
    checkSourceCoordinate(EditSY1, m_sourceLastY, &MapCopyDialog::EditDYChange);
}

void MapCopyDialog::EditSY2Change() {
    checkSourceCoordinate(EditSY2, m_sourceLastY, &MapCopyDialog::EditDYChange);
}

void MapCopyDialog::EditDXChange() {
    checkTargetCoordinate(EditDX, EditSX1, EditSX2, m_destLastX);
}

void MapCopyDialog::EditDYChange() {
    checkTargetCoordinate(EditDY, EditSY1, EditSY2, m_destLastY);
}

void MapCopyDialog::RevalidateCoords() {
    EditSX1Change();
    EditSX2Change();
    EditSY1Change();
    EditSY2Change();
    EditDXChange();
    EditDYChange();
}

void MapCopyDialog::btnCopyClick() {
    if (m_running)
        return;
    for (const QLineEdit* edit : {EditSX1, EditSY1, EditSX2, EditSY2, EditDX, EditDY})
        if (isCoordinateWrong(edit)) {
            m_prompts.showMessage(this, tb::kWrongCoordinatesMessage);
            return;
        }
    if (TextSMapSize->text() == kUnknown || TextDMapSize->text() == kUnknown) {
        m_prompts.showMessage(this, tb::kUnknownMapMessage);
        return;
    }
    tbapp::runReported(m_prompts, this, [&] { runCopy(); });
}

void MapCopyDialog::runCopy() {
    tb::CopyRect rect;
    rect.x1 = readInt(EditSX1);
    rect.y1 = readInt(EditSY1);
    rect.x2 = readInt(EditSX2);
    rect.y2 = readInt(EditSY2);
    rect.dx = readInt(EditDX);
    rect.dy = readInt(EditDY);
    if (rect.x1 == 0 && rect.y1 == 0 && rect.x2 == 0 && rect.y2 == 0) {
        m_prompts.showMessage(this, tb::kZeroCoordinatesMessage);
        return;
    }
    m_running = true;
    btnCopy->setEnabled(false);
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    QApplication::processEvents();
    try {
        tb::copyMapCells(toPath(EditSourceMap->text()), rect, toPath(EditDestinationMap->text()),
                         [this](int percent) {
                             ProgressBar->setValue(percent);
                             QApplication::processEvents();
                         });
    } catch (const tb::ToolRefusal& refusal) {
        m_prompts.showMessage(this, refusal.what());
    } catch (const std::exception& error) {
        m_prompts.showFailure(this, error);
    }
    m_running = false;
    btnCopy->setEnabled(tbapp::isPathBoxValid(EditSourceMap) &&
                        tbapp::isPathBoxValid(EditDestinationMap));
}

void MapCopyDialog::reject() {
    if (!m_running)
        QDialog::reject();
}

void MapCopyDialog::closeEvent(QCloseEvent* event) {
    if (m_running)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

} // namespace tbapp
