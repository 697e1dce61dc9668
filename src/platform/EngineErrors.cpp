#include "platform/EngineErrors.h"

#include <QList>

namespace EngineErrors {

namespace {

const QString kDetailPrefix = QStringLiteral("Detalhe do Erro: ");
const QString kTechnical = QStringLiteral("Detalhe técnico: ");

} // namespace

const QList<Known> &table() {
    // The most specific phrase of a code first: an I/O error says more in its second line.
    static const QList<Known> rows = {
        {335544344, "Database already opened with engine instance",
         "O KORVANTE já está aberto nesta pasta, neste computador. Use a janela que já está aberta, ou "
         "feche-a antes de abrir o programa de novo."},
        {335544344, "No space left on device",
         "Não há mais espaço livre no disco onde ficam os bancos de dados. Libere espaço no disco e "
         "tente de novo; nada do que falhou foi gravado."},
        {335544344, "Permission denied",
         "O KORVANTE não tem permissão para gravar na pasta dos bancos de dados. Confira se a pasta não "
         "está protegida contra gravação (ou só para leitura) e tente de novo."},
        {335544765, "attempted update on read-only database",
         "O banco de dados está só para leitura e nada pode ser gravado nele. Tire a proteção contra "
         "gravação do arquivo ou da pasta e tente de novo."},
        {335544914, "string right truncation",
         "Um texto é mais longo do que o campo do banco de dados aceita. Encurte o texto e tente de novo; "
         "nada foi gravado."},
        {335544565, "Cannot transliterate character between character sets",
         "Um texto tem caracteres que o banco de dados não aceita (emojis ou símbolos especiais). Retire "
         "esses caracteres e tente de novo; nada foi gravado."},
        {335544345, "lock conflict on no wait transaction",
         "Outro computador está gravando estes mesmos dados neste momento. Aguarde alguns instantes e "
         "tente de novo."},
        {335544336, "update conflicts with concurrent update",
         "Outro computador alterou estes mesmos dados ao mesmo tempo. Aguarde alguns instantes e tente "
         "de novo."},
        {335544451, "deadlock",
         "Outro computador está gravando estes mesmos dados neste momento. Aguarde alguns instantes e "
         "tente de novo."},
        {335544472, "Your user name and password are not defined",
         "O servidor de banco de dados recusou o usuário e a senha do KORVANTE. Peça a quem instalou o "
         "servidor que confira o usuário SYSDBA e a senha do sistema."},
        {335544721, "Unable to complete network request to host",
         "Não foi possível falar com o servidor de banco de dados. Confira se o computador servidor está "
         "ligado, se o Firebird está em execução nele e se a rede está funcionando."},
        {335544665, "violation of PRIMARY or UNIQUE KEY constraint",
         "Este registro já existe no banco de dados e não pode ser gravado duas vezes. Atualize a tela e "
         "confira os dados."},
        {335544344, "No such file or directory",
         "O arquivo do banco de dados não foi encontrado. Confira se a pasta do KORVANTE (ou a indicada "
         "no config.ini) contém os arquivos CRF.XML e ID_BASE.FDB."},
    };
    return rows;
}

const Known *find(const QString &engineText, const QString &code) {
    for (const Known &k : table())
        if (engineText.contains(QLatin1String(k.phrase), Qt::CaseInsensitive)) return &k;
    if (!code.isEmpty())
        for (const Known &k : table())
            if (code == QString::number(k.code)) return &k;
    return nullptr;
}

QString forPerson(const QString &message) {
    if (message.contains(kTechnical)) return message; // explained already
    const Known *known = find(message);
    if (!known) return message;
    const qsizetype at = message.indexOf(kDetailPrefix);
    const QString prefix = at < 0 ? QString() : message.left(at + kDetailPrefix.size());
    const QString engine = at < 0 ? message : message.mid(at + kDetailPrefix.size());
    return prefix + QString::fromUtf8(known->meaning) + QStringLiteral("\n\n") + kTechnical + engine;
}

} // namespace EngineErrors
