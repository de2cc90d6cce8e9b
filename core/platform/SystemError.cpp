#include "SystemError.h"

#include <utility>

namespace kvaderon::platform {

const char* PortableReason(const std::error_code& AError) {
    static const std::pair<std::errc, const char*> reasons[] = {
        {std::errc::no_such_file_or_directory, "Файл или папка не найдены"},
        {std::errc::permission_denied, "Отказано в доступе"},
        {std::errc::operation_not_permitted, "Операция не разрешена"},
        {std::errc::no_space_on_device, "Недостаточно места на диске"},
        {std::errc::read_only_file_system, "Файловая система доступна только для чтения"},
        {std::errc::is_a_directory, "Указан путь к папке, а не к файлу"},
        {std::errc::not_a_directory, "Часть пути не является папкой"},
        {std::errc::file_exists, "Файл уже существует"},
        {std::errc::filename_too_long, "Слишком длинное имя файла"},
        {std::errc::too_many_files_open, "Слишком много открытых файлов"},
        {std::errc::too_many_files_open_in_system, "Слишком много открытых файлов"},
        {std::errc::not_enough_memory, "Недостаточно памяти"},
        {std::errc::file_too_large, "Файл слишком велик"},
        {std::errc::io_error, "Ошибка ввода-вывода"},
        {std::errc::broken_pipe, "Обрыв канала: читающая сторона закрыта"},
        {std::errc::cross_device_link, "Файлы находятся на разных устройствах"},
        {std::errc::device_or_resource_busy, "Файл занят"},
        {std::errc::text_file_busy, "Файл занят другим процессом"},
        {std::errc::too_many_symbolic_link_levels, "Слишком много символических ссылок в пути"},
        {std::errc::invalid_argument, "Недопустимый аргумент"},
        {std::errc::no_such_device, "Устройство не поддерживает эту операцию"},
        {std::errc::value_too_large, "Значение слишком велико"},
    };
    for (const auto& [condition, reason] : reasons)
        if (AError == condition)
            return reason;
    return nullptr;
}

void ThrowSystemError(std::string_view AWhat, const std::error_code& AError) {
    std::string message(AWhat);
    if (!message.empty())
        message += ": ";
    message += SystemErrorText(AError);
    throw ESystemError(message, AError);
}

} // namespace kvaderon::platform
