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

void SharedMapDialog::remember(QSettings& settings, const QString& typed, int facet) {
    const QString uri = withoutPassword(typed);
    QStringList recent = settings.value(kRecentKey).toStringList();
    recent.removeAll(uri);
    recent.prepend(uri);
    while (recent.size() > kRecentCount)
        recent.removeLast();
    settings.setValue(kRecentKey, recent);
    settings.setValue(kFacetKey, facet);
}

QString SharedMapDialog::withoutPassword(const QString& uri) {
    const qsizetype scheme = uri.indexOf("://");
    if (scheme < 0)
        return uri; // keyword form: libpq reads no password from what we store
    QString out = uri;
    // The authority ends at the first '/', '?' or '#'; a user's password sits between the
    // first ':' and the last '@' in it (a host list may hold more ':' after the '@').
    const qsizetype start = scheme + 3;
    qsizetype end = start;
    while (end < out.size() && out[end] != '/' && out[end] != '?' && out[end] != '#')
        ++end;
    const qsizetype at = out.lastIndexOf('@', end - 1);
    if (at >= start) {
        const qsizetype colon = out.indexOf(':', start);
        if (colon >= 0 && colon < at)
            out.remove(colon, at - colon);
    }
    const qsizetype query = out.indexOf('?');
    if (query < 0)
        return out;
    QStringList kept;
    for (const QString& pair : out.mid(query + 1).split('&', Qt::SkipEmptyParts)) {
        if (!pair.startsWith("password=", Qt::CaseInsensitive))
            kept.append(pair);
    }
    out.truncate(query);
    if (!kept.isEmpty())
        out += '?' + kept.join('&');
    return out;
}

} // namespace tbapp
