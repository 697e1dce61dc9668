#pragma once

#include <QString>

// The file a ticket's picture is written to and the sending window lists it by: the designer writes
// the pictures, the sending window offers them.
namespace TicketPictureName {
// "Bilhete_" + the control number in the modality number format + ".jpg".
QString fileName(int numBilhete, int digits);
} // namespace TicketPictureName
