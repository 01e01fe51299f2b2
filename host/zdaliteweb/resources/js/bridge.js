// Page side of the host's bridge. Include it, then:
//   kxBridge.call(handler, method, args) -> Promise (handler "" = the object's own calls);
//     rejects with {code, message}
//   kxBridge.on(name, function (data, base64) {...}) / kxBridge.off(name): native callbacks
//   kxBridge.decodeBase64(text) -> the UTF-8 text it encodes
(function (global) {
    'use strict';
    var transport = null;
    var nextId = 1;
    var pending = {};
    var callbacks = {};

    function onMessage(text) {
        var message;
        try { message = JSON.parse(text); } catch (e) { return; }
        if (message.type === 'result') {
            var entry = pending[message.id];
            if (!entry) return;
            delete pending[message.id];
            if (message.ok) entry.resolve(message.result);
            else entry.reject(message.error);
        } else if (message.type === 'callback') {
            var callback = callbacks[message.name];
            if (typeof callback === 'function') callback(message.data, message.base64 === true);
        }
    }

    function attach() {
        if (transport) return true;
        var candidate = global[kxBridge.objectName];
        if (!candidate || typeof candidate.post !== 'function' || !candidate.message) return false;
        transport = candidate;
        transport.message.connect(onMessage);
        return true;
    }

    var kxBridge = {
        objectName: 'qwebkit',
        available: function () { return attach(); },
        call: function (handler, method, args) {
            return new Promise(function (resolve, reject) {
                if (!attach()) {
                    reject({ code: 'noBridge', message: 'the native object is not published' });
                    return;
                }
                var id = nextId++;
                pending[id] = { resolve: resolve, reject: reject };
                transport.post(JSON.stringify({ id: id, handler: handler || '', method: method, args: args || {} }));
            });
        },
        on: function (name, fn) { callbacks[name] = fn; attach(); },
        off: function (name) { delete callbacks[name]; },
        decodeBase64: function (text) {
            var bytes = global.atob(text);
            var escaped = '';
            for (var i = 0; i < bytes.length; ++i)
                escaped += '%' + ('0' + bytes.charCodeAt(i).toString(16)).slice(-2);
            return decodeURIComponent(escaped);
        }
    };
    global.kxBridge = kxBridge;
})(window);
