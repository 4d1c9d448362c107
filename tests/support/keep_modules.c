/* Preloaded into the game binary in sanitizer builds: shared objects are never
 * unloaded, so that LeakSanitizer can still name the module of an allocation
 * made by a driver that the GL library has closed again by exit time. */
int dlclose(void* handle)
{
    (void)handle;
    return 0;
}
