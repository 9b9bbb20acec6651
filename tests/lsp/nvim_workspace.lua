-- End-to-end test of the server across a whole configuration with Neovim's
-- own LSP client: writes a made-up designer dump, starts `ramulet lsp` on
-- it as the workspace folder, opens one module and checks, once the
-- progress of the indexing has ended: definition into another module's
-- file that is not open, incoming calls from three modules, workspace
-- symbols found by initials. Exits non-zero when any answer is wrong.
--   RAMULET=path/to/ramulet nvim --headless --clean -n -c 'luafile nvim_workspace.lua'
local ramulet = assert(os.getenv('RAMULET'), 'RAMULET is not set')
local timeout = 20000
local passed, failed = 0, 0

local function check(ok, what)
  if ok then
    passed = passed + 1
  else
    failed = failed + 1
    io.stderr:write('FAIL: ' .. what .. '\n')
  end
end

local root = vim.fn.tempname() .. '-конфигурация'
local files = {
  ['Configuration.xml'] = { '<MetaDataObject><Configuration/></MetaDataObject>' },
  ['CommonModules/ОбщегоНазначения.xml'] = { '<MetaDataObject><CommonModule><Properties><Global>false</Global>'
    .. '</Properties></CommonModule></MetaDataObject>' },
  ['CommonModules/ОбщегоНазначения/Ext/Module.bsl'] = {
    '// Общие процедуры',
    'Функция ПолучитьЗначениеРеквизита(Ссылка, Имя) Экспорт',
    '    Возврат Неопределено;',
    'КонецФункции',
  },
  ['CommonModules/Прочее.xml'] = { '<MetaDataObject><CommonModule/></MetaDataObject>' },
  ['CommonModules/Прочее/Ext/Module.bsl'] = {
    'Процедура Прочее() Экспорт',
    '    ОбщегоНазначения.ПолучитьЗначениеРеквизита(1, "А");',
    'КонецПроцедуры',
  },
  ['Catalogs/Валюты/Ext/ManagerModule.bsl'] = {
    'Функция КурсВалюты(Валюта) Экспорт',
    '    Код = ОбщегоНазначения.ПолучитьЗначениеРеквизита(Валюта, "Код");',
    '    Возврат Код;',
    'КонецФункции',
  },
  ['Documents/Счет/Ext/ObjectModule.bsl'] = {
    'Процедура ОбработкаПроведения(Отказ)',
    '    Сумма = ОбщегоНазначения.ПолучитьЗначениеРеквизита(Ссылка, "Сумма");',
    'КонецПроцедуры',
  },
}
for path, lines in pairs(files) do
  local full = root .. '/' .. path
  vim.fn.mkdir(vim.fn.fnamemodify(full, ':h'), 'p')
  vim.fn.writefile(lines, full)
end

local client_id, buf, exit_code
local progress = {}

local function request(method, params)
  local client = vim.lsp.get_client_by_id(client_id)
  local response, err = client.request_sync(method, params, timeout, buf)
  assert(response, method .. ': no answer (' .. tostring(err) .. ')')
  assert(not response.err, method .. ': error ' .. vim.inspect(response.err))
  return response.result
end

local function at(line, character)
  return { textDocument = { uri = vim.uri_from_bufnr(buf) }, position = { line = line, character = character } }
end

local function ends_with(text, tail) return text:sub(-#tail) == tail end

local function run()
  vim.cmd('edit ' .. vim.fn.fnameescape(root .. '/Catalogs/Валюты/Ext/ManagerModule.bsl'))
  buf = vim.api.nvim_get_current_buf()
  client_id = assert(vim.lsp.start_client({
    name = 'ramulet',
    cmd = { ramulet, 'lsp' },
    root_dir = root,
    workspace_folders = { { uri = vim.uri_from_fname(root), name = 'конфигурация' } },
    handlers = {
      ['$/progress'] = function(_, result) table.insert(progress, result.value.kind) end,
    },
    on_exit = function(code) exit_code = code end,
  }), 'the client did not start')
  vim.lsp.buf_attach_client(buf, client_id)
  check(vim.wait(timeout, function() return vim.tbl_contains(progress, 'end') end), 'the indexing ends with progress')
  check(progress[1] == 'begin', 'the progress begins (' .. vim.inspect(progress) .. ')')

  -- Line 1: '    Код = ОбщегоНазначения.ПолучитьЗначениеРеквизита(Валюта, "Код");'
  local call = at(1, 30)
  local definition = request('textDocument/definition', call)
  if definition and definition[1] == nil then definition = { definition } end
  check(definition and #definition == 1 and
    ends_with(vim.uri_to_fname(definition[1].uri), 'CommonModules/ОбщегоНазначения/Ext/Module.bsl') and
    definition[1].range.start.line == 1, 'definition goes to the header in the common module\'s file')
  check(vim.fn.bufloaded(root .. '/CommonModules/ОбщегоНазначения/Ext/Module.bsl') == 0, 'that file is not open')

  local item = request('textDocument/prepareCallHierarchy', call)
  check(item and item[1] and item[1].name == 'ПолучитьЗначениеРеквизита', 'the call prepares the callee\'s item')
  local incoming = item and item[1] and request('callHierarchy/incomingCalls', { item = item[1] }) or {}
  local callers = {}
  for _, entry in ipairs(incoming) do table.insert(callers, entry.from.name) end
  table.sort(callers)
  check(vim.deep_equal(callers, { 'КурсВалюты', 'ОбработкаПроведения', 'Прочее' }),
    'incoming calls from three modules: ' .. vim.inspect(callers))

  local symbols = request('workspace/symbol', { query = 'ПЗР' })
  check(symbols and symbols[1] and symbols[1].name == 'ПолучитьЗначениеРеквизита' and
    symbols[1].containerName == 'CommonModule.ОбщегоНазначения', 'workspace symbols by initials')

  vim.lsp.stop_client(client_id)
  check(vim.wait(timeout, function() return exit_code ~= nil end), 'the server exited')
end

local ok, err = pcall(run)
if not ok then
  failed = failed + 1
  io.stderr:write('FAIL: ' .. tostring(err) .. '\n')
end
vim.fn.delete(root, 'rf')
io.stdout:write(passed .. ' passed, ' .. failed .. ' failed\n')
vim.cmd(failed == 0 and 'qall!' or 'cquit 1')
