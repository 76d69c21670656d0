#pragma once
// File > "Open shared map...": the server's libpq URI and the facet number, with the URIs
// opened lately offered again (kept in the window's settings).

#include <QDialog>

class QComboBox;
class QSettings;
class QSpinBox;

namespace tbapp {

class SharedMapDialog : public QDialog {
    Q_OBJECT
public:
    SharedMapDialog(QSettings& settings, QWidget* parent);

    QString uri() const;
    int facet() const;
    // Puts the URI and facet at the top of the recent ones (after a successful open).
    // The password is left out, so that settings never hold one.
    static void remember(QSettings& settings, const QString& uri, int facet);
    // `uri` without a password, whether given as user:password@ or as ?password=.
    static QString withoutPassword(const QString& uri);

private:
    QComboBox* m_uriBox = nullptr;
    QSpinBox* m_facetSpin = nullptr;
};

} // namespace tbapp
