#include "driver/run.h"
namespace corvina {
int corvina_main(const Build&, int, char**) { return 0; }
}  // namespace corvina
