#pragma once

#include <QFont>
#include <QSqlRecord>
#include <QString>
#include <QStringList>

class TDM;
struct WorkingRaffle;

// Choosing the working raffle among the active slots and deriving its state from its CADASTRO row.
class RaffleSelection {
public:
    // The prize and rules texts are split as a hidden text box 185 pixels wide shows them, less its
    // 2-pixel border on each side.
    static constexpr int HiddenBoxTextWidth = 185 - 2 * 2;

    RaffleSelection(TDM &tdm, WorkingRaffle &raffle);

    // "00" + CODRIFA + " - " + NOME_RIFA: the third character is the slot, the name starts at the seventh.
    static QString itemText(int codRifa, const QString &name);
    // The items of the active raffles, by slot.
    bool activeRaffleItems(QStringList *items, QString *error) const;

    enum class Outcome { NothingSelected, Chosen, Inactive, Failed };
    // Loads the item's row and, when the raffle is active, makes it the working raffle. A refused or
    // failed choice leaves the working raffle and its loaded row as they were.
    Outcome confirm(const QString &item, const QFont &font, QString *error);
    // "Escolher Depois": no working raffle; the rest of the state stays.
    void escolherDepois();
    // Reads the working raffle's row again (the chooser left without a choice after an edit of it):
    // still active, its state follows the stored row; made inactive or gone, no working raffle.
    bool reloadWorking(const QFont &font, QString *error);

    // Fills the working raffle state from a CADASTRO row; the print module uses it for its package.
    static void derive(const QSqlRecord &row, const QFont &font, WorkingRaffle &raffle);
    // Every line (as a text box of HiddenBoxTextWidth in the font shows it) followed by backslash, n, blank.
    static QString TextoLinhas(const QString &text, const QFont &font);
    // Highest number of a modality text; 0 when the text is not one of the five.
    static int highestNumberOf(const QString &modalidade);
    // "10 Números" gives 10; 0 when empty.
    static int numbersPerTicketOf(const QString &usarQtNum);

    static QString inactiveMessage();
    static QString noPrizesText();
    static QString notChosenCaption();

private:
    TDM &m_tdm;
    WorkingRaffle &m_raffle;
};
