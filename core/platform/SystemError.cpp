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
        {std::errc::bad_file_descriptor, "Неверный дескриптор файла (поток закрыт)"},
        {std::errc::resource_unavailable_try_again, "Ресурс временно недоступен"},
        {std::errc::interrupted, "Операция прервана сигналом"},
        {std::errc::no_such_device_or_address, "Устройство или адрес не существует"},
        {std::errc::not_supported, "Операция не поддерживается"},
        {std::errc::function_not_supported, "Функция не поддерживается системой"},
        {std::errc::invalid_seek, "Файл не допускает чтения и записи по смещению"},
        {std::errc::too_many_links, "Слишком много ссылок на файл"},
        {std::errc::directory_not_empty, "Папка не пуста"},
        {std::errc::connection_reset, "Соединение сброшено"},
        {std::errc::connection_aborted, "Соединение прервано"},
        {std::errc::timed_out, "Время ожидания истекло"},
        {std::errc::no_buffer_space, "Недостаточно места в буфере"},
        {std::errc::bad_address, "Неверный адрес в памяти"},
        {std::errc::no_lock_available, "Файл заблокирован"},
        {std::errc::resource_deadlock_would_occur, "Файл заблокирован"},
        {std::errc::operation_canceled, "Операция отменена"},
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
