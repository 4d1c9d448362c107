// A library with thread-local data, loaded at run time as the GL driver loads
// its compiler: each thread that touches the data gets a block of its own from
// the C library's malloc on first use.
thread_local char threadValue[24] = {1};

extern "C" char* threadValueOfThisThread()
{
    return threadValue;
}
