#include "sensor/Condition.h"

namespace javax::microedition::sensor {

using java::lang::String;

constinit JavaPtr<String> Condition::OP_EQUALS;
constinit JavaPtr<String> Condition::OP_GREATER_THAN;
constinit JavaPtr<String> Condition::OP_GREATER_THAN_OR_EQUALS;
constinit JavaPtr<String> Condition::OP_LESS_THAN;
constinit JavaPtr<String> Condition::OP_LESS_THAN_OR_EQUALS;

void Condition::Condition_staticInit() {
    OP_EQUALS = jnew<String>("eq");
    OP_GREATER_THAN = jnew<String>("gt");
    OP_GREATER_THAN_OR_EQUALS = jnew<String>("ge");
    OP_LESS_THAN = jnew<String>("lt");
    OP_LESS_THAN_OR_EQUALS = jnew<String>("le");
}

void Condition::Condition_staticDestroy() {
    OP_EQUALS = nullptr;
    OP_GREATER_THAN = nullptr;
    OP_GREATER_THAN_OR_EQUALS = nullptr;
    OP_LESS_THAN = nullptr;
    OP_LESS_THAN_OR_EQUALS = nullptr;
}

}  // namespace javax::microedition::sensor
