// core.h - CSalCore, the base class of every platform-layer object.
#ifndef SAL_CORE_H
#define SAL_CORE_H

/// Base of the platform-layer classes.  Its one virtual operation is the
/// destructor; each derived class keeps its state in a record of its own.
class CSalCore {
 public:
  CSalCore() = default;
  CSalCore(const CSalCore &) = delete;
  CSalCore &operator=(const CSalCore &) = delete;
  virtual ~CSalCore() = default;
};

#endif  // SAL_CORE_H
