// The root of every runtime object, and the reference types the runtime hands out.
#pragma once

#include <memory>
#include <vector>

namespace rt {

class Object;
struct ClassRecord;
struct Selector;

// A class: the runtime's record of a name, a superclass and a method table. Null means
// "no such class"; every runtime operation accepts a null class and does nothing with it.
using Class = ClassRecord*;
// An interned selector; equal names give the same pointer.
using SEL = const Selector*;
// A borrowed object reference, as receivers and arguments are passed. Never owns.
using id = Object*;
// A strong reference: what a method returns, what a container or property keeps.
template <class T = Object>
using Ref = std::shared_ptr<T>;
template <class T = Object>
using WeakRef = std::weak_ptr<T>;

// How an associated object is held (objc_AssociationPolicy). Assign keeps a weak
// reference: unlike a raw pointer it answers nil once the value has died.
enum class AssociationPolicy { Assign, RetainNonatomic };

// Every object of the host model and of the system derives from Object. Objects are
// made through `construct` (see class.h) so that they always carry their class.
class Object : public std::enable_shared_from_this<Object> {
 public:
  Object() = default;
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;
  virtual ~Object();

  // The object's class; null only for an object made outside `construct`.
  Class isa() const { return isa_; }
  // A strong reference to this object (it must already be owned by a Ref).
  Ref<> ref() { return shared_from_this(); }

  // One associated value (see associations.h).
  struct Association {
    const void* key;
    AssociationPolicy policy;
    Ref<> strong;
    WeakRef<> weak;
  };

 private:
  friend void setIsa(Object&, Class);
  friend struct Associations;

  Class isa_ = nullptr;
  std::vector<Association> associations_;
};

// Sets the class of a freshly made object; used by the factories only.
void setIsa(Object& object, Class cls);

}  // namespace rt
