#pragma once
// daostub_errors.hpp - DAO's Errors collection and Error object over the engine's context:
// Item(0) describes the last failure, as DAO keeps it until the next one.

#include <memory>

#include "platform/dao/daostub_context.hpp"

class DAOError : public com_object {
public:
    DAOError(std::shared_ptr<daostub_context> new_context, daostub_error new_error)
        : context(std::move(new_context)), error(std::move(new_error)) {}

    HRESULT get_Number(LONG* number);
    HRESULT get_Description(BSTR* description);

private:
    std::shared_ptr<daostub_context> context;
    daostub_error error;
};

class DAOErrors : public com_object {
public:
    explicit DAOErrors(std::shared_ptr<daostub_context> new_context)
        : context(std::move(new_context)) {}

    HRESULT get_Count(SHORT* count);
    HRESULT get_Item(VARIANT index, DAOError** error);

private:
    std::shared_ptr<daostub_context> context;
};
