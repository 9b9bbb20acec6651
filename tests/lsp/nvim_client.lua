-- End-to-end test with Neovim's own LSP client: starts `ramulet lsp`, opens
-- a module, asks for symbols, call hierarchy, definition, references, hover
-- and workspace symbols, checks every answer against `ramulet --json` on the
-- same text (and a few facts of the example directly), edits the buffer and
-- checks again. Exits non-zero when any answer is wrong.
--   RAMULET=path/to/ramulet MODULE=file.bsl nvim --headless --clean -c 'luafile nvim_client.lua'
local ramulet = assert(os.getenv('RAMULET'), 'RAMULET is not set')
-- The rule set the server is asked for, and the command line checked with.
local rules = os.getenv('RULES') or 'panel'
local module_path = assert(os.getenv('MODULE'), 'MODULE is not set')
local timeout = 10000
local passed, failed = 0, 0

local function check(ok, what)
  if ok then
    passed = passed + 1
  else
    failed = failed + 1
    io.stderr:write('FAIL: ' .. what .. '\n')
  end
end

local json_decode = (vim.json and vim.json.decode) or vim.fn.json_decode

local client_id, buf, exit_code

local function request(method, params)
  local client = vim.lsp.get_client_by_id(client_id)
  local response, err = client.request_sync(method, params, timeout, buf)
  assert(response, method .. ': no answer (' .. tostring(err) .. ')')
  assert(not response.err, method .. ': error ' .. vim.inspect(response.err))
  return response.result
end

local function uri() return vim.uri_from_bufnr(buf) end
local function text_document() return { uri = uri() } end
local function at(line, character)
  return { textDocument = text_document(), position = { line = line, character = character } }
end

-- The text a UTF-16 range covers on one line of the buffer.
local function range_text(range)
  local line = vim.api.nvim_buf_get_lines(buf, range.start.line, range.start.line + 1, true)[1]
  local from = vim.str_byteindex(line, range.start.character, true)
  local to = vim.str_byteindex(line, range['end'].character, true)
  return line:sub(from + 1, to)
end

-- `ramulet --json` over the buffer's present text.
local function cli_analysis()
  local file = vim.fn.tempname() .. '.bsl'
  vim.fn.writefile(vim.api.nvim_buf_get_lines(buf, 0, -1, true), file)
  local output = vim.fn.system({ ramulet, '--rules', rules, '--json', '--no-tree', file })
  os.remove(file)
  assert(vim.v.shell_error == 0, 'ramulet --json failed: ' .. output)
  local analysis = json_decode(output)
  return analysis.methods, analysis.lineCount
end

-- Unique values in order of first appearance.
local function unique(values)
  local seen, list = {}, {}
  for _, v in ipairs(values) do
    if not seen[v] then
      seen[v] = true
      table.insert(list, v)
    end
  end
  return list
end

local function names_of(groups, side)
  local names = {}
  for _, group in ipairs(groups) do table.insert(names, group[side].name) end
  return names
end

local function check_against_cli(tag)
  local methods, line_count = cli_analysis()
  local symbols = request('textDocument/documentSymbol', { textDocument = text_document() })
  check(#symbols == #methods, tag .. ': ' .. #symbols .. ' symbols for ' .. #methods .. ' methods')
  for i, method in ipairs(methods) do
    local symbol = symbols[i] or { range = { start = {}, ['end'] = {} }, selectionRange = { start = {} } }
    local what = tag .. ': method ' .. method.name
    check(symbol.name == method.name, what .. ' is symbol ' .. i)
    check(symbol.selectionRange.start.line == method.headerLine and symbol.range.start.line == method.headerLine,
      what .. ' starts on its header line')
    -- A method without an end line runs to the end of the module.
    local end_line = method.endLine ~= vim.NIL and method.endLine or line_count - 1
    check(symbol.range['end'].line == end_line, what .. ' ends on line ' .. end_line)
    local header = vim.api.nvim_buf_get_lines(buf, method.headerLine, method.headerLine + 1, true)[1]
    local is_function = vim.fn.toupper(header):find(vim.fn.toupper('Функция'), 1, true) ~= nil
    if method.kind then is_function = method.kind == 'function' end
    check(symbol.kind == (is_function and 12 or 6), what .. ' has the kind of its header')
    check(symbol.selectionRange and range_text(symbol.selectionRange) == method.name, what .. ': selection is the name')

    local items = request('textDocument/prepareCallHierarchy', at(method.headerLine, symbol.selectionRange.start.character))
    check(items and #items == 1 and items[1].name == method.name, what .. ': call hierarchy prepared at the header')
    local item = items and items[1]
    if item then
      local outgoing = request('callHierarchy/outgoingCalls', { item = item })
      local targets, lines = {}, {}
      for _, call in ipairs(method.calls) do
        table.insert(targets, methods[call.target + 1].name)
        table.insert(lines, call.line)
      end
      check(vim.deep_equal(names_of(outgoing, 'to'), unique(targets)), what .. ': outgoing callees in order')
      local ranges = 0
      for _, group in ipairs(outgoing) do
        for _, range in ipairs(group.fromRanges) do
          ranges = ranges + 1
          check(range_text(range) == group.to.name, what .. ': call range covers ' .. group.to.name)
          local definition = request('textDocument/definition', at(range.start.line, range.start.character))
          check(definition and definition.range.start.line == group.to.selectionRange.start.line,
            what .. ': definition of the call on line ' .. range.start.line)
          local at_call = request('textDocument/prepareCallHierarchy', at(range.start.line, range.start.character + 1))
          check(at_call and at_call[1].name == group.to.name, what .. ': prepared at a call')
        end
      end
      check(ranges == #method.calls, what .. ': one range per call')

      local incoming = request('callHierarchy/incomingCalls', { item = item })
      local callers = {}
      for _, caller in ipairs(method.callers) do table.insert(callers, methods[caller + 1].name) end
      check(vim.deep_equal(names_of(incoming, 'from'), unique(callers)), what .. ': incoming callers in order')
      local incoming_ranges = 0
      for _, group in ipairs(incoming) do
        for _, range in ipairs(group.fromRanges) do
          incoming_ranges = incoming_ranges + 1
          check(range_text(range) == method.name, what .. ': incoming range covers the call')
        end
      end
      check(incoming_ranges == #method.callers, what .. ': one incoming range per call')

      local references = request('textDocument/references', {
        textDocument = text_document(), position = symbol.selectionRange.start, context = { includeDeclaration = true } })
      check(#(references or {}) == 1 + #method.callers, what .. ': references are the header and every call')
    end
  end
  return methods
end

-- The tree of `ramulet --json`, flattened in pre-order, against the pages
-- of ramulet/callTree read in order.
local function check_call_tree(tag)
  local file = vim.fn.tempname() .. '.bsl'
  vim.fn.writefile(vim.api.nvim_buf_get_lines(buf, 0, -1, true), file)
  local output = vim.fn.system({ ramulet, '--rules', rules, '--json', file })
  os.remove(file)
  local cli = json_decode(output)
  local expected = {}
  local function flatten(nodes, level)
    for _, node in ipairs(nodes) do
      table.insert(expected, node.name .. '@' .. level)
      flatten(node.children, level + 1)
    end
  end
  flatten(cli.tree, 0)
  local got, offset, pages = {}, 0, 0
  repeat
    local page = request('ramulet/callTree', { textDocument = text_document(), offset = offset, limit = 50 })
    check(page.nodeCount == cli.nodeCount and page.total == cli.nodeCount and page.truncated == cli.truncated,
      tag .. ': call tree counts')
    for _, node in ipairs(page.nodes) do table.insert(got, node.name .. '@' .. node.level) end
    offset = page.next
    pages = pages + 1
  until offset == vim.NIL or offset == nil or pages > 1000
  check(vim.deep_equal(got, expected), tag .. ': ramulet/callTree pages give the tree of ramulet --json')
end

local function find_symbol(name)
  for _, symbol in ipairs(request('textDocument/documentSymbol', { textDocument = text_document() })) do
    if symbol.name == name then return symbol end
  end
  error('no symbol ' .. name)
end

local function run()
  vim.cmd('edit ' .. vim.fn.fnameescape(module_path))
  buf = vim.api.nvim_get_current_buf()
  local config = {
    name = 'ramulet',
    cmd = { ramulet, 'lsp' },
    root_dir = vim.fn.fnamemodify(module_path, ':p:h'),
    flags = { debounce_text_changes = 0 },
    init_options = { rules = rules },
    on_exit = function(code) exit_code = code end,
  }
  client_id = assert(vim.lsp.start_client(config), 'the client did not start')
  vim.lsp.buf_attach_client(buf, client_id)
  assert(vim.wait(timeout, function()
    local client = vim.lsp.get_client_by_id(client_id)
    return client and client.initialized
  end), 'the server did not initialize')
  local client = vim.lsp.get_client_by_id(client_id)
  check(client.offset_encoding == 'utf-16', 'position encoding is utf-16')

  local methods = check_against_cli('opened')
  check_call_tree('opened')
  -- "private" is no keyword of the language: its rules see one header fewer.
  local expected_methods = rules == 'language' and 21 or 22
  check(#methods == expected_methods, 'the example has ' .. expected_methods .. ' methods')

  -- Facts of the example, independent of the command line.
  local rounding = find_symbol('ОкруглитьСумму')
  check(rounding.kind == 12 and rounding.range.start.line == 12 and rounding.range['end'].line == 17,
    'ОкруглитьСумму is a function on lines 12..17')
  local hover = request('textDocument/hover', at(19, 10))
  check(hover and hover.contents.value:find('calls 2 / called from 2', 1, true) ~= nil, 'hover counts calls')
  local found = names_of(vim.tbl_map(function(s) return { s = s } end, request('workspace/symbol', { query = 'сумм' })), 's')
  table.sort(found)  -- best first: the order is the server's to choose
  check(vim.deep_equal(found, { 'ОкруглитьСумму', 'ПредставлениеСуммы', 'РассчитатьСуммуСтроки' }),
    'workspace symbols match case-insensitively')
  local recalc = request('textDocument/prepareCallHierarchy', at(86, 12))[1]
  local outgoing = request('callHierarchy/outgoingCalls', { item = recalc })
  check(#outgoing == 2 and outgoing[2].to.name == 'ИтогПоТоварам' and #outgoing[2].fromRanges == 3,
    'Пересчитать calls ИтогПоТоварам three times, twice on one line')
  check(request('textDocument/documentSymbol', { textDocument = text_document() })[8].range.start.line == 86,
    'the forward declaration of Пересчитать is no symbol')

  -- Edits: a line above everything, a new call inside ПроцентСкидки, a call
  -- renamed inside a line; each answer is checked again.
  vim.api.nvim_buf_set_lines(buf, 0, 0, true, { '// правка' })
  vim.api.nvim_buf_set_lines(buf, 52, 52, true, { '\tОкруглитьСумму(Процент);' })
  local edited = check_against_cli('edited')
  check_call_tree('edited')
  local discount = find_symbol('ПроцентСкидки')
  check(discount.range.start.line == 51 and discount.range['end'].line == 64, 'ПроцентСкидки moved to 51..64')
  local incoming = request('callHierarchy/incomingCalls',
    { item = request('textDocument/prepareCallHierarchy', at(13, 10))[1] })
  check(incoming[2] and incoming[2].from.name == 'ПроцентСкидки' and incoming[2].fromRanges[1].start.line == 52,
    'the new call is an incoming call of ОкруглитьСумму from ПроцентСкидки')
  local paren = vim.api.nvim_buf_get_lines(buf, 52, 53, true)[1]:find('(', 1, true) - 1
  vim.api.nvim_buf_set_text(buf, 52, paren, 52, paren, { 'X' })  -- ОкруглитьСуммуX(
  check_against_cli('renamed')
  check(#request('textDocument/references', {
    textDocument = text_document(), position = { line = 13, character = 10 }, context = { includeDeclaration = false } })
    == 5, 'the renamed call is no reference any more')
  vim.api.nvim_buf_set_lines(buf, 0, 1, true, {})
  check(#check_against_cli('line removed') == #edited, 'still 22 methods')
  -- The last four lines go, the last method's end line with them, then
  -- they come back.
  local last_lines = vim.api.nvim_buf_get_lines(buf, -5, -1, true)
  vim.api.nvim_buf_set_lines(buf, -5, -1, true, {})
  check(#check_against_cli('end removed') == #edited, 'still 22 methods without the last end line')
  local last = find_symbol('ОбработкаУдаленияПроведения')
  check(last.range['end'].line == vim.api.nvim_buf_line_count(buf) - 1, 'the last method runs to the end')
  vim.api.nvim_buf_set_lines(buf, -1, -1, true, last_lines)
  check(#check_against_cli('end restored') == #edited, 'the last method is back')

  vim.lsp.stop_client(client_id)
  check(vim.wait(timeout, function() return exit_code ~= nil end), 'the server exited')
  check(exit_code == 0, 'the server exited with 0 after shutdown (got ' .. tostring(exit_code) .. ')')
end

local ok, err = pcall(run)
if not ok then
  failed = failed + 1
  io.stderr:write('FAIL: ' .. tostring(err) .. '\n')
end
io.stdout:write(passed .. ' passed, ' .. failed .. ' failed\n')
vim.cmd(failed == 0 and 'qall!' or 'cquit 1')
