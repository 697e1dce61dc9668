#pragma once

#include <QString>

// The database engine's errors as a person reads them: what happened and what to do, in Portuguese,
// with the engine's own text kept after it as a technical detail.
namespace EngineErrors {

struct Known {
    quint32 code;         // the engine's error code (isc_...)
    const char *phrase;   // a part of the engine's fixed text for that code
    const char *meaning;  // what a person is told
};

// The errors a person can meet, one row each.
const QList<Known> &table();

// The row whose code or phrase the error carries; nullptr when none.
const Known *find(const QString &engineText, const QString &code = QString());

// The message as a person sees it: where it carries an engine error of the table, the explanation
// comes first (after the message's own prefix up to "Detalhe do Erro: ") and the engine's text
// follows as "Detalhe técnico: ". Other messages are returned unchanged.
QString forPerson(const QString &message);

} // namespace EngineErrors
