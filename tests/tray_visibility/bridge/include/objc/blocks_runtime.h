// GNUstep's headers look for the blocks runtime under this name when the compiler has blocks;
// Debian ships it as <Block.h>.
#include <Block.h>
