#include "support/testmain.h"

namespace rotamet::test {

int endSuite(int status) { return status; }

}  // namespace rotamet::test
