#pragma once

#include "results/cabrillo_form.h"

namespace velmora {

// Runs the Cabrillo header form (template 101 of this module) modally on the
// calling thread, without an owner window. True on OK, with every field the
// form gives back taken from its control; CANCEL, Escape and the close box
// return false and leave `form` as it was.
bool RunCabrilloDialog(CabrilloForm& form);

}  // namespace velmora
