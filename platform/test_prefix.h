#include "testing/prefix_test.h"  // moved to testing/; kept until every user follows
namespace platform::testing { using namespace ::orvik_testing; }
