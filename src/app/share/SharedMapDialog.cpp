#include "app/share/SharedMapDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>

namespace tbapp {
namespace {

const char* const kRecentKey = "SharedMaps/RecentUris";
const char* const kFacetKey = "SharedMaps/Facet";
constexpr int kRecentCount = 8;

} // namespace

SharedMapDialog::SharedMapDialog(QSettings& settings, QWidget* parent) : QDialog(parent) {
    setObjectName("SharedMapDialog");
    setWindowTitle("Open shared map");
    m_uriBox = new QComboBox(this);
    m_uriBox->setObjectName("SharedMapUri");
    m_uriBox->setEditable(true);
    m_uriBox->setMinimumContentsLength(40);
    m_uriBox->addItems(settings.value(kRecentKey).toStringList());
    m_facetSpin = new QSpinBox(this);
    m_facetSpin->setObjectName("SharedMapFacet");
    m_facetSpin->setRange(0, 5);
    m_facetSpin->setValue(settings.value(kFacetKey, 0).toInt());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("SharedMapOpen");
    buttons->button(QDialogButtonBox::Ok)->setText("Open");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("SharedMapCancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow("Server (URI):", m_uriBox);
    form->addRow("Facet:", m_facetSpin);
    form->addRow(buttons);
}

QString SharedMapDialog::uri() const {
    return m_uriBox->currentText().trimmed();
}

int SharedMapDialog::facet() const {
    return m_facetSpin->value();
}

void SharedMapDialog::remember(QSettings& settings, const QString& uri, int facet) {
    QStringList recent = settings.value(kRecentKey).toStringList();
    recent.removeAll(uri);
    recent.prepend(uri);
    while (recent.size() > kRecentCount)
        recent.removeLast();
    settings.setValue(kRecentKey, recent);
    settings.setValue(kFacetKey, facet);
}

} // namespace tbapp
