#include "app/items/HueDialog.h"

#include "shell/NumberText.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace tbapp {

HueText readHue(const QString& text) {
    const QString typed = text.trimmed();
    if (typed.isEmpty())
        return {std::nullopt, "Type a hue: 0 to 65535, as decimal, $hex or 0x hex."};
    const std::optional<std::int32_t> value = tb::tryStrToInt(typed.toStdString());
    if (!value)
        return {std::nullopt,
                QString("'%1' is not a number: type decimal, $hex or 0x hex.").arg(typed)};
    if (*value < 0 || *value > 0xFFFF)
        return {std::nullopt, QString("%1 is not a hue: hues are 0 to 65535.").arg(typed)};
    return {std::uint16_t(*value), {}};
}

HueDialog::HueDialog(std::uint16_t preset, Preview preview, QWidget* parent)
    : QDialog(parent), m_draw(std::move(preview)) {
    setObjectName("SetHueDialog");
    setWindowTitle("Set hue");
    auto* layout = new QVBoxLayout(this);
    auto* prompt = new QLabel("Hue of the selected items ($ or 0x for hex):", this);
    m_edit = new QLineEdit(QString::number(preset), this);
    m_edit->setObjectName("HueEdit");
    m_edit->setAccessibleName("Hue");
    prompt->setBuddy(m_edit);
    m_problem = new QLabel(this);
    m_problem->setObjectName("HueProblem");
    m_problem->setStyleSheet("color: #b00000");
    // The selection's first item in the hue typed, before it is applied.
    m_preview = new QLabel(this);
    m_preview->setObjectName("HuePreview");
    m_preview->setAccessibleName("The item in the hue typed");
    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setVisible(bool(m_draw));
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_buttons->setObjectName("HueButtons");
    layout->addWidget(prompt);
    layout->addWidget(m_edit);
    layout->addWidget(m_problem);
    layout->addWidget(m_preview);
    layout->addWidget(m_buttons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_edit, &QLineEdit::textChanged, this, &HueDialog::textEdited);
    textEdited();
}

QString HueDialog::problem() const {
    return m_problem->text();
}

void HueDialog::textEdited() {
    const HueText read = readHue(m_edit->text());
    m_hue = read.hue;
    m_problem->setText(read.problem);
    m_problem->setVisible(!read.problem.isEmpty());
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(read.hue.has_value());
    if (read.hue) {
        if (m_draw)
            m_preview->setPixmap(QPixmap::fromImage(m_draw(*read.hue)));
        emit hueTyped(*read.hue);
    }
}

} // namespace tbapp
