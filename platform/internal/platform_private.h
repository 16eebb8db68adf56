// Included first by every header that is private to the platform layer, so that a build reaching
// one from the game's folders stops here: the game sees only the headers in platform/include/.
#pragma once

#ifndef ORBIT_PLATFORM_PRIVATE
#error "platform internals are private: include the public headers in platform/include/ instead"
#endif
