#pragma once
// daostub_errors.hpp - DAO's Errors collection and Error object over the engine's context:
// Item(0) describes the last failure, as DAO keeps it until the next one.

#include <memory>

#include "platform/dao/daostub_context.hpp"

class DAOError : public com_object {
public:
    DAOError(std::shared_ptr<daostub_context> context, daostub_error error)
        : context(std::move(context)), error(std::move(error)) {}

    HRESULT get_Number(LONG* number);
    HRESULT get_Description(BSTR* description);

private:
    std::shared_ptr<daostub_context> context;
    daostub_error error;
};

class DAOErrors : public com_object {
public:
    explicit DAOErrors(std::shared_ptr<daostub_context> context) : context(std::move(context)) {}

    HRESULT get_Count(SHORT* count);
    HRESULT get_Item(VARIANT index, DAOError** error);

private:
    std::shared_ptr<daostub_context> context;
};
