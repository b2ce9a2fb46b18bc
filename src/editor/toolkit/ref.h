// Holding a reference to an intrusively counted object (views, bitmaps, bitmap fonts): the object
// offers addReference() and release(), and release() at a count of 0 destroys it.
#pragma once

#include <utility>

namespace pelko {

template <class T>
class Ref {
public:
    Ref() = default;
    // Takes over a reference the caller already owns (a new object, or a cache's answer).
    static Ref adopt(T* object)
    {
        Ref r;
        r.object_ = object;
        return r;
    }
    // Adds a reference of its own.
    static Ref share(T* object)
    {
        if (object != nullptr) {
            object->addReference();
        }
        return adopt(object);
    }
    Ref(const Ref& o) : object_(o.object_)
    {
        if (object_ != nullptr) {
            object_->addReference();
        }
    }
    Ref(Ref&& o) noexcept : object_(std::exchange(o.object_, nullptr)) {}
    Ref& operator=(Ref o) noexcept
    {
        std::swap(object_, o.object_);
        return *this;
    }
    ~Ref() { reset(); }

    void reset()
    {
        if (object_ != nullptr) {
            std::exchange(object_, nullptr)->release();
        }
    }
    // Gives the reference away to the caller.
    T* detach() { return std::exchange(object_, nullptr); }
    T* get() const { return object_; }
    T* operator->() const { return object_; }
    T& operator*() const { return *object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    T* object_ = nullptr;
};

// The reference count of an object that is shared between owners; it starts at 1 (the creator).
class RefCounted {
public:
    RefCounted() = default;
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

    void addReference() { ++references_; }
    void release()
    {
        if (--references_ == 0) {
            delete this;
        }
    }
    int referenceCount() const { return references_; }

protected:
    virtual ~RefCounted() = default;

private:
    int references_ = 1;
};

}  // namespace pelko
