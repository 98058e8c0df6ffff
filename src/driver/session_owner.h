// What the driver needs from the object that owns an engine session: a way
// to stop it. The engine interface object implements it; the driver keeps
// the edge pointing down by knowing only this type.
#ifndef ZEVO_SRC_DRIVER_SESSION_OWNER_H_
#define ZEVO_SRC_DRIVER_SESSION_OWNER_H_

namespace zevo::driver {

class ISessionOwner {
 public:
  // Marks the owner stopped for good: it refuses further scan work. Called
  // by the driver with the session lock held shared; must not block or call
  // back into the driver.
  virtual void SetStopFlag(bool stop) noexcept = 0;

 protected:
  ISessionOwner() = default;
  ISessionOwner(const ISessionOwner&) = default;
  ISessionOwner& operator=(const ISessionOwner&) = default;
  ~ISessionOwner() = default;
};

}  // namespace zevo::driver

#endif  // ZEVO_SRC_DRIVER_SESSION_OWNER_H_
