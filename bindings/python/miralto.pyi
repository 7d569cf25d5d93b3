"""Type stubs of the Miralto position-code module."""

import builtins
from typing import Literal, Sequence, Tuple, Union, overload

import numpy as np
import numpy.typing as npt

__version__: str

_Number = Union[float, int, str, bytes, None]
_Array = Union[npt.ArrayLike, Sequence[_Number]]
_Errors = Literal["raise", "coerce"]
_Corrections = Tuple[Union[float, int, str, bytes], Union[float, int, str, bytes]]
_Texts = npt.NDArray[np.str_]
_Floats = npt.NDArray[np.float64]
_Mask = npt.NDArray[np.bool_]

class Error(Exception):
    kind: str
    message: str
    index: Union[int, Tuple[int, ...], None]

class ConversionError(Error, ValueError): ...
class OverflowError(Error, builtins.OverflowError): ...
class FileError(Error, OSError): ...
class EndOfFileError(Error, EOFError): ...
class OutOfReachError(Error, ValueError): ...
class InvalidCodeError(Error, ValueError): ...

@overload
def encode(lon: _Number, lat: _Number, corrections: _Corrections = ..., *,
           errors: _Errors = ..., return_mask: Literal[False] = ...) -> str: ...
@overload
def encode(lon: _Array, lat: _Array, corrections: _Corrections = ..., *,
           errors: _Errors = ..., return_mask: Literal[False] = ...) -> _Texts: ...
@overload
def encode(lon: _Array, lat: _Array, corrections: _Corrections = ..., *,
           errors: _Errors = ..., return_mask: Literal[True]) -> Tuple[_Texts, _Mask]: ...

@overload
def encode_dms(d: _Number, m: _Number, s: _Number, d2: _Number, m2: _Number, s2: _Number,
               corrections: _Corrections = ..., *, errors: _Errors = ...,
               return_mask: Literal[False] = ...) -> str: ...
@overload
def encode_dms(d: _Array, m: _Array, s: _Array, d2: _Array, m2: _Array, s2: _Array,
               corrections: _Corrections = ..., *, errors: _Errors = ...,
               return_mask: bool = ...) -> Union[_Texts, Tuple[_Texts, _Mask]]: ...

@overload
def decode(code: Union[str, bytes], corrections: _Corrections = ...,
           dd: Literal[False] = ..., *, errors: _Errors = ...,
           return_mask: Literal[False] = ...) -> Tuple[str, str, str, str, str, str]: ...
@overload
def decode(code: Union[str, bytes], corrections: _Corrections = ..., *,
           dd: Literal[True], errors: _Errors = ...,
           return_mask: Literal[False] = ...) -> Tuple[float, float]: ...
@overload
def decode(code: _Array, corrections: _Corrections = ..., dd: bool = ..., *,
           errors: _Errors = ..., return_mask: bool = ...) -> tuple: ...

@overload
def compare(code: Union[str, bytes], ref: Union[str, bytes], *, errors: _Errors = ...,
            return_mask: Literal[False] = ...) -> Tuple[int, int]: ...
@overload
def compare(code: _Array, ref: _Array, *, errors: _Errors = ...,
            return_mask: bool = ...) -> tuple: ...

@overload
def to_dms(value: _Number, *, errors: _Errors = ...,
           return_mask: Literal[False] = ...) -> Tuple[str, str, str]: ...
@overload
def to_dms(value: _Array, *, errors: _Errors = ..., return_mask: bool = ...) -> tuple: ...

@overload
def to_dd(d: _Number, m: _Number, s: _Number, *, errors: _Errors = ...,
          return_mask: Literal[False] = ...) -> float: ...
@overload
def to_dd(d: _Array, m: _Array, s: _Array, *, errors: _Errors = ...,
          return_mask: bool = ...) -> Union[_Floats, Tuple[_Floats, _Mask]]: ...

@overload
def encode_notation(first: _Number, second: _Number, corrections: _Corrections = ..., *,
                    errors: _Errors = ..., return_mask: Literal[False] = ...) -> str: ...
@overload
def encode_notation(first: _Array, second: _Array, corrections: _Corrections = ..., *,
                    errors: _Errors = ...,
                    return_mask: bool = ...) -> Union[_Texts, Tuple[_Texts, _Mask]]: ...

@overload
def notation_to_dd(first: _Number, second: _Number, *, errors: _Errors = ...,
                   return_mask: Literal[False] = ...) -> Tuple[float, float]: ...
@overload
def notation_to_dd(first: _Array, second: _Array, *, errors: _Errors = ...,
                   return_mask: bool = ...) -> tuple: ...
