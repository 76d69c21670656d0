#pragma once
// "Set hue...": asks for the hue of the selected items as $hex, 0x hex or decimal. What is
// wrong with a typed value is said under the box as it is typed, and OK waits for a hue.

#include <QDialog>

#include <cstdint>
#include <optional>

class QDialogButtonBox;
class QLabel;
class QLineEdit;

namespace tbapp {

class HueDialog : public QDialog {
    Q_OBJECT
public:
    explicit HueDialog(std::uint16_t preset, QWidget* parent = nullptr);

    // The hue typed; none while the text is not one.
    std::optional<std::uint16_t> hue() const { return m_hue; }
    QLineEdit* edit() const { return m_edit; }
    // What is wrong with the text typed; empty when it is a hue.
    QString problem() const;

signals:
    // A hue was typed (to show the items in it before it is applied).
    void hueTyped(std::uint16_t hue);

private:
    void textEdited();

    QLineEdit* m_edit = nullptr;
    QLabel* m_problem = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
    std::optional<std::uint16_t> m_hue;
};

// The hue a text names: "$hex", "0xhex" or decimal, 0 to 65535; otherwise what is wrong.
struct HueText {
    std::optional<std::uint16_t> hue;
    QString problem;
};
HueText readHue(const QString& text);

} // namespace tbapp
