#pragma once

#include <cstdlib>
#include <optional>
#include <string>

// Sets an environment variable (or unsets it, for a null value) for the life of a scope, and
// puts back what was there however the scope ends: a failed assertion must not leak it into
// the next test.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            previous_ = old;
        }
        Set(value);
    }
    ~ScopedEnv() { Set(previous_ ? previous_->c_str() : nullptr); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    void Set(const char* value) {
        if (value != nullptr) {
            setenv(name_.c_str(), value, 1);
        } else {
            unsetenv(name_.c_str());
        }
    }

    std::string name_;
    std::optional<std::string> previous_;
};
