#pragma once

#include <QString>

// The sales page's settings in config.ini, section EXTRA. They are written back on closing the
// window only once a setting was touched; that mark lasts until the program ends.
class SalesPageSettings {
public:
    explicit SalesPageSettings(QString programFolder);

    bool exists() const; // config.ini is there
    int foneGerHtml() const;
    int tipoPix() const;
    QString pix() const;
    // The PIX recipient's name and city for the payment QR code.
    QString pixNome() const;
    QString pixCidade() const;
    // Writes every key of the page; false when config.ini cannot be written.
    bool write(int foneGerHtml, int tipoPix, const QString &pix, const QString &pixNome,
               const QString &pixCidade) const;

    // The settings-changed mark of this program run (one per program folder).
    bool changed() const;
    void setChanged() const;

    QString path() const { return m_path; }

private:
    QString m_folder;
    QString m_path;
};
