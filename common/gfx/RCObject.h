#pragma once

// Base of records shared by several holders (pictures shared by many sprites). The count
// starts at 0; every holder calls AddRef once and Release once. The last Release deletes the
// record through its virtual destructor.
class RCObject {
public:
    RCObject(const RCObject&) = delete;
    RCObject& operator=(const RCObject&) = delete;
    virtual ~RCObject() = default;

    void AddRef() { ++refCount_; }
    // Drops one holder; true when that was the last one and the record is now deleted.
    bool Release();
    int RefCount() const { return refCount_; }

    // Kept for records that must not be shared; nothing in the engine consults it.
    bool shareable = true;

protected:
    RCObject() = default;

private:
    int refCount_ = 0;
};
