#pragma once

#include "data/CachedTable.h"

#include <QFont>
#include <QString>
#include <QStringList>
#include <optional>

class TDM;
struct WorkingRaffle;

// The five raffle slots of CADASTRO as the registration edits them: the checks before a save, the
// save itself and the size labels of a number base.
class RaffleRegistration {
public:
    RaffleRegistration(TDM &tdm, WorkingRaffle &raffle);

    CachedTable CDS_CADASTRO{QStringLiteral("CDS_CADASTRO")};
    // Reads the five slots again, dropping every unsaved edit.
    bool open(QString *error);
    // The row of the working raffle (partial match on the slot's text); the first row when none.
    int workingRaffleRow() const;

    static const QStringList &modalities();     // "00 - 99" .. "000000 - 999999"
    static const QStringList &perTicketItems(); // "1 Número" .. "10 Números"

    // Letters a..z become upper case; every other character, accented letters too, stays.
    static QString upperAscii(const QString &text);
    // Whether the modality allows that many numbers per ticket (0..99 has bases for 1 and 2 only).
    static bool perTicketAllowed(const QString &modalidade, const QString &usarQtNum);
    static QString tooManyPerTicketMessage();

    // Size labels for the positions k (modality, -1 none) and j (numbers per ticket, -1 none):
    // the numbers label always, the ticket label only when it changes.
    struct SizeLabels {
        QString numbers;
        std::optional<QString> tickets;
    };
    SizeLabels AtualizarTotais(int k, int j, QString *error);

    // The prize and rules boxes together show at most this many lines.
    static constexpr int MaxTextLines = 14;
    // The rules box wraps at 456 pixels less its border, its scroll bar and the text margins.
    static constexpr int RulesBoxWidth = 456;
    static constexpr int RulesTextWidth = RulesBoxWidth - 2 * 2 - 17 - 2 * 2;
    static int shownLines(const QString &premios, const QString &regras, const QFont &rulesFont);
    static QString premiosLimitMessage();
    static QString regrasLimitMessage();

    struct SaveResult {
        enum Kind { Refused, Unchanged, HasValidations, Saved, Failed } kind = Unchanged;
        QString message; // what to tell the user
        int row = -1;    // for Refused: the row that failed its checks
        bool wroteWorkingRaffle = false;
    };
    // "GRAVAR DADOS": every edited row must pass the checks (the shown row first, checked even
    // unedited); a raffle's modality and numbers per ticket stay while its buyer table holds rows.
    SaveResult GravarDados(int currentRow);

    // The font of the rules box, whose wrapped lines count against the line limit.
    void setRulesFont(const QFont &font) { m_rulesFont = font; }
    static QString allInactiveMessage();

    static QString savedMessage();
    static QString validationsMessage();

private:
    QString checkRow(int row) const;
    bool isWorkingRaffle(int row) const;
    // Whether the slot's own buyer table holds any row.
    bool hasValidations(int slot, QString *error) const;

    TDM &m_tdm;
    WorkingRaffle &m_raffle;
    QFont m_rulesFont;
};
