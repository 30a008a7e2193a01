// What the sanitizers need to know about Qt Quick when the test programs run under them.

#if defined(__SANITIZE_ADDRESS__)
#define VELMOR_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELMOR_ADDRESS_SANITIZER 1
#endif
#endif

#ifdef VELMOR_ADDRESS_SANITIZER
extern "C" {

// Qt Quick 6.4 keeps the images its image providers deliver in the process-wide pixmap store, and
// the textures the windows made of them, and never frees that store at exit. Qt is built without
// frame pointers, so a leak's stack shows only the Qt frame that allocated: these are the frames
// of that store's images, textures and pixmaps. An object of the app that leaked them would still
// show as a direct leak of its own. (Slow unwinding, which would show the loading frame, deadlocks
// with the X server's GL driver loading.)
const char* __lsan_default_suppressions()
{
    return "leak:QImageData::create\n"
           "leak:QSGTexture::QSGTexture\n"
           "leak:QPixmap::fromImage\n"
           "leak:QtSharedPointer::ExternalRefCountData::getAndRef\n"
           "leak:libQt6Quick.so\n"
           // The session bus connection the X platform opens for accessibility keeps its buffers.
           "leak:libdbus-1.so\n";
}
}
#endif
