#include "print/stampascala.h"
// Placeholder: the implementation follows.
namespace rotamet::print {
void StampaScala(PrintForm &) {}
}  // namespace rotamet::print
