#pragma once
// "Set hue...": asks for the hue of the selected items as $hex, 0x hex or decimal. What is
// wrong with a typed value is said under the box as it is typed, and OK waits for a hue.

#include <QDialog>
#include <QImage>

#include <cstdint>
#include <functional>
#include <optional>

class QDialogButtonBox;
class QLabel;
class QLineEdit;

namespace tbapp {

class HueDialog : public QDialog {
    Q_OBJECT
public:
    // `preview` draws an item in a hue (0: unhued); without one no picture is shown.
    using Preview = std::function<QImage(std::uint16_t hue)>;
    explicit HueDialog(std::uint16_t preset, Preview preview = {}, QWidget* parent = nullptr);

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
    QLabel* m_preview = nullptr;
    Preview m_draw;
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
