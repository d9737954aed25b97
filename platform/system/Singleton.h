#pragma once

#include <memory>

// The one instance of T in the program, made on first use. reset() drops it, so the
// next use makes a fresh one under the environment as it is then (tests start each
// case from a clean one). A class with a private constructor befriends Singleton<T>.
template<class T>
class Singleton
{
public:
    static T &instance()
    {
        std::unique_ptr<T> &held = holder();
        if (!held)
            held.reset(new T);
        return *held;
    }

    static void reset() { holder().reset(); }

private:
    static std::unique_ptr<T> &holder()
    {
        static std::unique_ptr<T> held;
        return held;
    }
};
